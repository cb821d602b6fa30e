#include "protocol/transport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrix::transport {
namespace {

TEST(PipeName, FullNameRoundTrip) {
    EXPECT_EQ(FullPipeName(".", "KAVOPIPE"), "\\\\.\\PIPE\\KAVOPIPE");
    struct Case {
        const char* full;
        bool valid;
        const char* host;
        const char* pipe;
    };
    const Case cases[] = {
        {"\\\\.\\PIPE\\KAVOPIPE", true, ".", "KAVOPIPE"},
        {"\\\\server01\\pipe\\KAVOPIPE", true, "server01", "KAVOPIPE"},
        {"\\\\10.0.0.5\\Pipe\\X", true, "10.0.0.5", "X"},
        {"\\\\.\\PIPE\\", false, "", ""},
        {"\\\\\\PIPE\\X", false, "", ""},
        {"\\.\\PIPE\\X", false, "", ""},
        {"\\\\.\\PIPX\\X", false, "", ""},
        {"\\\\.\\PIPE\\..", false, "", ""},
        {"\\\\.\\PIPE\\a/b", false, "", ""},
    };
    for (const auto& c : cases) {
        const auto address = ParseFullPipeName(c.full);
        ASSERT_EQ(address.has_value(), c.valid) << c.full;
        if (address) {
            EXPECT_EQ(address->host, c.host);
            EXPECT_EQ(address->pipe, c.pipe);
        }
    }
}

TEST(TcpFraming, MessagesSurviveAnySplit) {
    const std::vector<std::uint8_t> first{1, 2, 3};
    const std::vector<std::uint8_t> second(1054, 0x5A);
    auto stream = FrameTcpMessage(first);
    const auto tail = FrameTcpMessage(second);
    stream.insert(stream.end(), tail.begin(), tail.end());

    for (std::size_t chunk = 1; chunk <= 9; ++chunk) {
        TcpDeframer deframer;
        std::vector<std::vector<std::uint8_t>> messages;
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            const std::size_t n = std::min(chunk, stream.size() - at);
            ASSERT_TRUE(deframer.Append(std::span(stream).subspan(at, n)));
            while (auto m = deframer.Pop()) {
                messages.push_back(*m);
            }
        }
        ASSERT_EQ(messages.size(), 2u) << "chunk " << chunk;
        EXPECT_EQ(messages[0], first);
        EXPECT_EQ(messages[1], second);
    }
}

TEST(TcpFraming, CountsOnlyWholeMessages) {
    TcpDeframer deframer;
    const auto framed = FrameTcpMessage(std::vector<std::uint8_t>(10, 1));
    deframer.Append(framed);
    deframer.Append(std::span(framed).first(6));  // a second one, incomplete
    EXPECT_TRUE(deframer.HasWholeMessage());
    EXPECT_EQ(deframer.BytesInWholeMessages(), 10u);
    EXPECT_EQ(deframer.FirstMessage().size(), 10u);
    deframer.Pop();
    EXPECT_FALSE(deframer.HasWholeMessage());
    EXPECT_EQ(deframer.BytesInWholeMessages(), 0u);
}

TEST(TcpFraming, AbsurdLengthBreaksTheStream) {
    TcpDeframer deframer;
    const std::uint8_t prefix[] = {0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_FALSE(deframer.Append(prefix));
}

TEST(Environment, PortFallsBackOnBadValues) {
    for (const char* bad : {"", "abc", "0", "70000", "12x"}) {
        ::setenv(kPipePortVariable, bad, 1);
        EXPECT_EQ(TcpPort(), kDefaultTcpPort) << bad;
    }
    ::setenv(kPipePortVariable, "5000", 1);
    EXPECT_EQ(TcpPort(), 5000);
    ::unsetenv(kPipePortVariable);
}

TEST(Environment, HostTakesAPortOfItsOwn) {
    ::setenv(kPipePortVariable, "5000", 1);
    const std::vector<std::pair<std::string, std::optional<HostPort>>> cases = {
        {"server", HostPort{"server", 5000}},
        {"localhost:4711", HostPort{"localhost", 4711}},
        {"192.0.2.7:65535", HostPort{"192.0.2.7", 65535}},
        {"[2001:db8::7]:47631", HostPort{"2001:db8::7", 47631}},
        {"[::1]", HostPort{"::1", 5000}},
        {"2001:db8::7", HostPort{"2001:db8::7", 5000}},
        {"host:0", std::nullopt},
        {"host:65536", std::nullopt},
        {"host:", std::nullopt},
        {"host:12x", std::nullopt},
        {":4711", std::nullopt},
        {"[::1]4711", std::nullopt},
        {"[::1", std::nullopt},
        {"[]:4711", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(SplitHostPort(text), expected) << text;
    }
    ::unsetenv(kPipePortVariable);
}

}  // namespace
}  // namespace veltrix::transport
