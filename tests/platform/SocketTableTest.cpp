#include "platform/SocketTable.h"

#include "support/FakeProc.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra::sys {
namespace {

const char* kHeader =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";

std::string row(const std::string& local, const std::string& remote, const std::string& state, const std::string& inode) {
    return "   0: " + local + " " + remote + " " + state +
           " 00000000:00000000 00:00000000 00000000  1000        0 " + inode +
           " 1 0000000000000000 100 0 0 10 0\n";
}

TEST(SocketTableTest, ReadsStatesPortsAndInodes) {
    SocketTable table;
    table.add(std::string(kHeader) +
              row("0100007F:1F90", "00000000:0000", "0A", "1001") +
              row("0100007F:1F90", "0100007F:FFFE", "01", "1002") +
              row("0100007F:C350", "0100007F:1F90", "06", "0") +  // TIME_WAIT: no owner
              row("0100007F:0050", "0100007F:8000", "08", "1003") +
              "   4: broken line\n" + row("0100007F:ZZZZ", "00000000:0000", "0A", "1004"));
    EXPECT_EQ(table.size(), 3u);
    const struct {
        std::uint64_t inode;
        TcpEntry entry;
    } cases[] = {
        {1001, {TcpEntry::kListen, 8080, 0}},
        {1002, {TcpEntry::kEstablished, 8080, 65534}},
        {1003, {0x08, 80, 32768}},
    };
    for (const auto& c : cases) {
        const TcpEntry* entry = table.find(c.inode);
        ASSERT_NE(entry, nullptr) << c.inode;
        EXPECT_EQ(*entry, c.entry) << c.inode;
    }
    EXPECT_EQ(table.find(0), nullptr);
    EXPECT_EQ(table.find(1004), nullptr);
}

TEST(SocketTableTest, JoinsIPv4AndIPv6) {
    test::TempHome home;
    test::FakeProc proc(home);
    proc.setTcp(std::string(kHeader) + row("00000000:0BB8", "00000000:0000", "0A", "11"));
    const std::string any6 = "00000000000000000000000000000000";
    proc.setTcp6(std::string(kHeader) + row(any6 + ":0BB8", any6 + ":0000", "0A", "12") +
                 row("0000000000000000FFFF00000100007F:0BB8", "0000000000000000FFFF00000100007F:D431", "01", "13"));
    const SocketTable table = SocketTable::read(proc.root());
    EXPECT_EQ(table.size(), 3u);
    ASSERT_NE(table.find(12), nullptr);
    EXPECT_EQ(table.find(12)->localPort, 3000);
    ASSERT_NE(table.find(13), nullptr);
    EXPECT_EQ(table.find(13)->remotePort, 54321);

    EXPECT_EQ(SocketTable::read(home.path("nowhere")).size(), 0u);
}

} // namespace
} // namespace tidra::sys
