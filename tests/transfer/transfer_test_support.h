#pragma once

#include "transfer/packet_transfer.h"

#include <string>
#include <vector>

namespace tgw::test {

// Keeps what a transfer shows, as a dialog would.
class CLogCollector : public ITransferObserver {
public:
    void appendLog(std::string_view text) override { log += text; }
    void packetSent(size_t sent, size_t) override { progress.push_back(sent); }

    // The log's lines without their line breaks; the last is what follows the final break.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        size_t start = 0;
        for (size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
            out.push_back(log.substr(start, end - start));
        out.push_back(log.substr(start));
        return out;
    }

    std::string log;
    std::vector<size_t> progress;
};

// A reply line: the time stamp "[mm:ss.mmm] ", then `rest` exactly.
inline bool isStampedLine(const std::string& line, const std::string& rest) {
    const std::string shape = "[00:00.000] ";
    if (line.size() != shape.size() + rest.size() || line.substr(shape.size()) != rest)
        return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        const bool digit = line[i] >= '0' && line[i] <= '9';
        if (shape[i] == '0' ? !digit : line[i] != shape[i])
            return false;
    }
    return line[1] <= '5' && line[4] <= '5'; // minutes and seconds below 60
}

} // namespace tgw::test
