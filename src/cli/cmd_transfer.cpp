#include "cli/commands.h"
#include "cli/common.h"
#include "codegen/binary_file.h"
#include "raster/rasteriser.h"
#include "transfer/hex_bytes.h"
#include "transfer/network_transfer.h"
#include "transfer/serial_transfer.h"
#include "transfer/transfer_log.h"

#include <cstdio>
#include <map>
#include <memory>

namespace tgw::cli {
namespace {

enum class ELink { Serial, Tcp, Udp };

// What `tgw send` reads from its options; the byte strings stay text until the command runs,
// so that a bad one is reported with the option's name.
struct CSendOptions {
    ELink link = ELink::Serial;
    bool index = false;
    std::string header1, header2, tail, prefix, suffix, last;
    int lastMode = 0;
    size_t packetSize = CFramingSettings{}.packetSize;
    std::string checksum = "none";
    std::string checksumFrom = "header2";
    bool noReply = false;
    int timeoutMs = 1000;
    bool adaptive = false;   // serial
    bool allReplies = false; // tcp, udp
    std::string port;        // serial: system name or path
    unsigned baud = kDefaultBaudRate;
    std::string host = "127.0.0.1";
    int netPort = 0;
};

// Writes the reply log to standard output as it grows, so that a watching user or script sees
// each reply when it comes, one line per event: a packet's reply, or its time-out. (A network
// transfer leaves a silent packet's line open for the next stamp; here it ends as a time-out.)
class CStdoutLog : public ITransferObserver {
public:
    void appendLog(std::string_view text) override {
        std::string out;
        if (isStamp(text)) {
            if (m_bareStamp)
                out += std::string(kReplyTimeoutText) + "\n";
            else if (m_lineOpen)
                out += "\n";
            m_bareStamp = true;
        } else if (text == "\n") {
            if (m_bareStamp)
                out += kReplyTimeoutText;
            else if (!m_lineOpen)
                return; // no empty lines
            m_bareStamp = false;
        } else {
            m_bareStamp = false;
        }
        out += text;
        m_lineOpen = out.back() != '\n';
        if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() ||
            std::fflush(stdout) != 0)
            m_failed = true;
    }
    // Some of the log could not be written: the command must not report success.
    bool failed() const { return m_failed; }

private:
    // "[mm:ss.mmm] ", the start of a reply line.
    static bool isStamp(std::string_view t) {
        auto digit = [&](size_t i) { return t[i] >= '0' && t[i] <= '9'; };
        return t.size() == 12 && t[0] == '[' && digit(1) && digit(2) && t[3] == ':' && digit(4) &&
               digit(5) && t[6] == '.' && digit(7) && digit(8) && digit(9) && t[10] == ']' &&
               t[11] == ' ';
    }

    bool m_lineOpen = false;
    bool m_bareStamp = false; // the open line holds only its time stamp
    bool m_failed = false;
};

// The framing options as bytes; a malformed one is a usage error naming its option.
Result<CFramingSettings> framingSettings(const CSendOptions& o) {
    CFramingSettings f;
    const std::pair<const std::string*, CBytes*> fields[] = {
        {&o.header1, &f.header1}, {&o.header2, &f.header2}, {&o.tail, &f.tail},
        {&o.prefix, &f.prefix},   {&o.suffix, &f.suffix},   {&o.last, &f.lastBytes}};
    const char* names[] = {"--header1", "--header2", "--tail-bytes",
                           "--prefix",  "--suffix",  "--last"};
    for (size_t i = 0; i < std::size(fields); ++i) {
        Result<CBytes> bytes = parseHexBytes(*fields[i].first, names[i]);
        if (!bytes)
            return failure(bytes.error());
        *fields[i].second = std::move(bytes).value();
    }
    static const std::map<std::string, EChecksumKind> kKinds = {
        {"none", EChecksumKind::None}, {"xor", EChecksumKind::Xor}, {"sum", EChecksumKind::Sum}};
    static const std::map<std::string, EChecksumRange> kRanges = {
        {"header1", EChecksumRange::FromHeader1},
        {"header2", EChecksumRange::FromHeader2},
        {"data", EChecksumRange::FromData}};
    f.checksum = kKinds.at(o.checksum);
    f.checksumRange = kRanges.at(o.checksumFrom);
    f.lastMode = ELastPacketMode(o.lastMode);
    f.packetSize = o.packetSize;
    if (Status s = f.validate(); !s)
        return failure(s.error());
    return f;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "tgw: %s\n", message.c_str());
    return 2;
}

int runSend(const CCommandOptions& options, const CSendOptions& o) {
    Result<CFramingSettings> framing = framingSettings(o);
    if (!framing)
        return usageError(framing.error());
    CNetworkSettings net;
    if (o.link != ELink::Serial) {
        // An incomplete address never gets as far as a socket.
        Result<CIpv4Address> address = parseIpv4Address(o.host);
        if (!address)
            return usageError("--host: " + address.error());
        net.protocol = o.link == ELink::Tcp ? EProtocol::Tcp : EProtocol::Udp;
        net.address = *address;
        net.port = uint16_t(o.netPort);
        net.logReplies = !o.noReply;
        net.singleReply = !o.allReplies;
        net.replyTimeoutMs = o.timeoutMs;
    }
    CSerialSettings serial;
    if (o.link == ELink::Serial) {
        serial.port = o.port;
        if (serial.port.empty()) {
            // As the dialog does: the first port the system lists.
            Result<std::vector<CSerialPortInfo>> ports = listSerialPorts();
            if (!ports)
                return fail(ports.error());
            if (ports->empty())
                return fail(kNoSerialPortNotice);
            serial.port = ports->front().name;
        }
        serial.baudRate = o.baud;
        serial.waitReply = !o.noReply;
        serial.adaptiveTiming = o.adaptive;
        serial.replyTimeoutMs = o.timeoutMs;
    }

    Result<std::unique_ptr<CEntrySet>> set = options.makeEntrySet();
    if (!set)
        return fail(set.error());
    const CGlyphList& list = (*set)->list;
    if (list.empty())
        return fail("nothing to send: no entries were given");
    Result<std::string> data =
        binaryFile(list, CEncodingOptions::fromSettings((*set)->settings), o.index);
    if (!data)
        return fail(data.error());

    const auto* bytes = reinterpret_cast<const uint8_t*>(data->data());
    CPacketFramer framer(std::move(framing).value(), {bytes, data->size()});
    CStdoutLog log;
    std::unique_ptr<CPacketTransfer> transfer;
    if (o.link == ELink::Serial)
        transfer = std::make_unique<CSerialTransfer>(serial, std::move(framer), log);
    else
        transfer = std::make_unique<CNetworkTransfer>(net, std::move(framer), log);
    const CTransferOutcome& outcome = transfer->run();
    if (!outcome.succeeded())
        return fail(outcome.detail.empty() ? outcome.notice
                                           : outcome.notice + " (" + outcome.detail + ")");
    if (!outcome.notice.empty())
        std::fprintf(stderr, "%s\n", outcome.notice.c_str());
    if (log.failed())
        return fail("the transfer went through, but its reply log could not be written to "
                    "standard output");
    return 0;
}

void addFramingOptions(CLI::App* cmd, CSendOptions& o) {
    cmd->add_flag("--index", o.index, "Send the index of codes, sizes and offsets before the data");
    cmd->add_option("--header1", o.header1, "Header 1 of every packet, hex bytes (\"AA 01 02\")");
    cmd->add_option("--header2", o.header2, "Header 2 of every packet, after header 1");
    cmd->add_option("--tail-bytes", o.tail, "Tail of every packet, hex bytes");
    cmd->add_option("--prefix", o.prefix, "Hex bytes sent before the matrix data");
    cmd->add_option("--suffix", o.suffix, "Hex bytes sent after the matrix data");
    cmd->add_option("--last", o.last, "Hex bytes that replace a field of the last packet");
    cmd->add_option("--last-mode", o.lastMode,
                    "Field the last packet replaces: 0 none, 1 header 1, 2 header 2, 3 tail")
        ->check(CLI::Range(0, 3));
    cmd->add_option("--packet-size", o.packetSize, "Payload bytes per packet")
        ->check(CLI::Range(size_t(1), kMaxPacketSize))
        ->capture_default_str();
    cmd->add_option("--checksum", o.checksum, "Checksum byte: none, xor or sum (modulo 256)")
        ->check(CLI::IsMember({"none", "xor", "sum"}))
        ->capture_default_str();
    cmd->add_option("--checksum-from", o.checksumFrom,
                    "Where the checksum starts: header1, header2 or data")
        ->check(CLI::IsMember({"header1", "header2", "data"}))
        ->capture_default_str();
    cmd->add_flag("--no-reply", o.noReply, "Do not wait for replies");
}

} // namespace

void registerSend(CLI::App& app, CCommands& commands) {
    CLI::App* send = app.add_subcommand(
        "send", "Send the binary matrix data of the entries to a device, framed into packets");
    send->require_subcommand(1);

    struct CLinkKind {
        const char* name;
        ELink link;
        const char* help;
    };
    for (const CLinkKind& kind : {CLinkKind{"serial", ELink::Serial, "Over a serial port"},
                                  CLinkKind{"tcp", ELink::Tcp, "Over a TCP connection"},
                                  CLinkKind{"udp", ELink::Udp, "As UDP datagrams"}}) {
        auto options = std::make_shared<CCommandOptions>();
        auto o = std::make_shared<CSendOptions>();
        o->link = kind.link;
        CLI::App* cmd = send->add_subcommand(kind.name, kind.help);
        options->addSettingsOptions(cmd);
        options->addEntryOptions(cmd);
        options->warnAboutCodes();
        addFramingOptions(cmd, *o);
        if (kind.link == ELink::Serial) {
            cmd->add_option("--timeout", o->timeoutMs, "Reply time-out of each read in ms")
                ->check(CLI::Range(0, 1 << 30))
                ->capture_default_str();
            cmd->add_flag("--adaptive", o->adaptive,
                          "Shorten the reply time-out from the measured reply times");
            cmd->add_option("--port", o->port,
                            "Serial port, by system name or path (default: the first listed)");
            cmd->add_option("--baud", o->baud, "Baud rate")
                ->check(CLI::Range(1u, 4000000u))
                ->capture_default_str();
        } else {
            cmd->add_option("--timeout", o->timeoutMs, "Reply time-out of each wait in ms")
                ->check(CLI::Range(1, 65535))
                ->capture_default_str();
            cmd->add_flag("--all-replies", o->allReplies,
                          "Keep waiting after the first reply until a wait times out; a "
                          "packet's replies are logged up to 1 MiB, and the log says when they "
                          "were cut");
            cmd->add_option("--host", o->host, "IPv4 address A.B.C.D")->capture_default_str();
            cmd->add_option("--port", o->netPort, "Port")->check(CLI::Range(1, 65535))->required();
        }
        commands.push_back({cmd, [options, o] { return runSend(*options, *o); }});
    }
}

void registerPorts(CLI::App& app, CCommands& commands) {
    CLI::App* cmd = app.add_subcommand("ports", "List the serial ports: system name, description");
    commands.push_back({cmd, [] {
                            Result<std::vector<CSerialPortInfo>> ports = listSerialPorts();
                            if (!ports)
                                return fail(ports.error());
                            if (ports->empty())
                                return fail(kNoSerialPortNotice);
                            for (const CSerialPortInfo& p : *ports)
                                std::printf("%s\t%s\n", p.name.c_str(), p.description.c_str());
                            return finishStdout();
                        }});
}

} // namespace tgw::cli
