#pragma once

#include "base/result.h"

#include <string>
#include <string_view>

namespace tgw {

// Where the writers of code text and binary files put their bytes.
class IOutput {
public:
    virtual ~IOutput() = default;
    virtual Status write(std::string_view bytes) = 0;
};

// Collects the bytes in memory.
class CStringOutput : public IOutput {
public:
    Status write(std::string_view bytes) override {
        m_data.append(bytes);
        return {};
    }
    const std::string& data() const& { return m_data; }
    std::string data() && { return std::move(m_data); }

private:
    std::string m_data;
};

} // namespace tgw
