// Trs232c against the fake comm layer: its properties, what Open writes into the DCB, which
// events it watches, and its failure paths.
#include <gtest/gtest.h>

#include "fake_comm.h"
#include "serial/rs232c.h"
#include "testkit/qt/recording_notifier.h"

using namespace commapi;
using vttest::RecordingNotifier;

namespace {

struct Fixture : ::testing::Test {
    FakeLayer layer;
    Trs232c rs{layer};
    DCB written() {
        std::lock_guard lock(layer.state.m);
        return layer.state.written;
    }
    std::vector<std::string> calls() {
        std::lock_guard lock(layer.state.m);
        return layer.state.calls;
    }
};

using Defaults = Fixture;
using OpenState = Fixture;
using OpenFailure = Fixture;

}  // namespace

// --- properties ------------------------------------------------------------------------------

TEST_F(Defaults, AreThoseOfTheConstructor) {
    EXPECT_EQ(rs.charbit(), 8);
    EXPECT_EQ(rs.stopbit(), "1");
    EXPECT_EQ(rs.bps(), 9600);
    EXPECT_EQ(rs.portname(), "COM1");
    EXPECT_EQ(rs.rxbuffsize(), 1024);
    EXPECT_EQ(rs.txbuffsize(), 1024);
    EXPECT_EQ(rs.readinterval(), 0);
    EXPECT_EQ(rs.txtimeout(), 30000);
    EXPECT_EQ(rs.rxtimeout(), 30000);
    EXPECT_EQ(rs.paritymode(), "無し");
    EXPECT_EQ(rs.flowflag(), 1);
    EXPECT_EQ(rs.packetsize(), 0);
    EXPECT_EQ(rs.flow(), (rsflowset{dfBinary}));
    EXPECT_FALSE(rs.debug());
    EXPECT_EQ(rs.XonLim(), 0);
    EXPECT_EQ(rs.XoffLim(), 0);
    EXPECT_EQ(rs.XonChar(), 17);
    EXPECT_EQ(rs.XoffChar(), 19);
    EXPECT_EQ(rs.ErrorChar(), 0);
    EXPECT_EQ(rs.EofChar(), 0);
    EXPECT_EQ(rs.EvtChar(), 0);
    EXPECT_FALSE(rs.isOpen());
}

TEST_F(Defaults, FlowIsTheSetViewOfTheLowFifteenBits) {
    rs.setflowflag(0x18001);
    EXPECT_EQ(rs.flow(), (rsflowset{dfBinary}));
    rs.setflow({dfBinary, dfOutX, dfInX});
    EXPECT_EQ(rs.flowflag(), 0x301);
    rs.setflowflag(0x7FFF);
    EXPECT_TRUE(rs.flow().contains(dfAbortOnError));
    EXPECT_TRUE(rs.flow().contains(dfRtsControl_b1));
}

TEST_F(Defaults, ClosedComponentDoesNothing) {
    std::uint8_t b = 0x5A;
    char buf[4];
    EXPECT_FALSE(rs.Read(buf, 4));
    EXPECT_FALSE(rs.Write("ab", 2));
    EXPECT_FALSE(rs.ReadByte(b));
    EXPECT_EQ(b, 0x5A);
    EXPECT_FALSE(rs.WriteByte(1));
    EXPECT_FALSE(rs.SetRTS(true));
    EXPECT_FALSE(rs.SetDTR(true));
    EXPECT_EQ(rs.InQueueCount(), -1);
    int closes = 0;
    rs.OnClose = [&](Trs232c*) { ++closes; };
    EXPECT_FALSE(rs.Close());
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(calls().empty()) << "nothing reaches the port";
}

// --- what Open writes ------------------------------------------------------------------------

TEST_F(OpenState, StoredConfigurationOfTheWindowsComponent) {
    rs.setrxtimeout(300);
    rs.settxtimeout(300);
    rs.OnRXCHAR = [](Trs232c*) {};
    ASSERT_TRUE(rs.Open());
    const DCB d = written();
    EXPECT_EQ(d.BaudRate, 9600u);
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.Parity, kNoParity);
    EXPECT_EQ(d.StopBits, kOneStopBit);
    EXPECT_EQ(d.Flags, 1u);
    EXPECT_EQ(layer.state.inQueue, 1024u);
    EXPECT_EQ(layer.state.timeouts.ReadTotalTimeoutConstant, 300u);
    EXPECT_EQ(layer.state.timeouts.WriteTotalTimeoutConstant, 300u);
    EXPECT_EQ(layer.state.timeouts.ReadIntervalTimeout, 0u);
    EXPECT_EQ(rs.eventMask(), kEvRxChar);
    EXPECT_TRUE(rs.threadRunning());
    EXPECT_EQ(layer.lastName, "COM1");
    ASSERT_FALSE(layer.state.purges.empty());
    EXPECT_EQ(layer.state.purges.back(), 15u);
}

TEST_F(OpenState, ParityNamesAreExactAndUnknownNamesKeepTheDevicesParity) {
    const std::pair<const char*, BYTE> known[] = {
        {"無し", kNoParity},          {"なし", kNoParity},          {"奇数", kOddParity},
        {"きすう", kOddParity},       {"ODD", kOddParity},          {"odd", kOddParity},
        {"ＯＤＤ", kOddParity},       {"ｏｄｄ", kOddParity},       {"偶数", kEvenParity},
        {"ぐうすう", kEvenParity},    {"EVEN", kEvenParity},        {"even", kEvenParity},
        {"ＥＶＥＮ", kEvenParity},    {"ｅｖｅｎ", kEvenParity},    {"マーク", kMarkParity},
        {"まーく", kMarkParity},      {"MARK", kMarkParity},        {"mark", kMarkParity},
        {"ＭＡＲＫ", kMarkParity},    {"ｍａｒｋ", kMarkParity},    {"スペース", kSpaceParity},
        {"すぺーす", kSpaceParity},   {"SPACE", kSpaceParity},      {"space", kSpaceParity},
        {"ＳＰＡＣＥ", kSpaceParity}, {"ｓｐａｃｅ", kSpaceParity},
    };
    for (const auto& [name, parity] : known) {
        layer.state.deviceDcb.Parity = parity == kSpaceParity ? kNoParity : kSpaceParity;
        rs.setparitymode(name);
        ASSERT_TRUE(rs.Open()) << name;
        EXPECT_EQ(written().Parity, parity) << name;
        rs.Close();
    }
    for (const char* name : {"NONE", "Odd", "", "ＯＤＤ ", "none"}) {
        layer.state.deviceDcb.Parity = kMarkParity;
        rs.setparitymode(name);
        ASSERT_TRUE(rs.Open()) << name;
        EXPECT_EQ(written().Parity, kMarkParity) << name;
        rs.Close();
    }
}

TEST_F(OpenState, StopBitNamesAndUnknownOnesKeepTheDevicesValue) {
    const std::pair<const char*, BYTE> known[] = {{"1", kOneStopBit}, {"1.5", kOne5StopBits}, {"2", kTwoStopBits}};
    for (const auto& [name, bits] : known) {
        layer.state.deviceDcb.StopBits = 7;
        rs.setstopbit(name);
        ASSERT_TRUE(rs.Open());
        EXPECT_EQ(written().StopBits, bits) << name;
        rs.Close();
    }
    for (const char* name : {"1.0", "", "two"}) {
        layer.state.deviceDcb.StopBits = kTwoStopBits;
        rs.setstopbit(name);
        ASSERT_TRUE(rs.Open());
        EXPECT_EQ(written().StopBits, kTwoStopBits) << name;
        rs.Close();
    }
}

TEST_F(OpenState, LowBitsOfWideValuesAndZeroMeansKeep) {
    layer.state.deviceDcb.XonLim = 111;
    layer.state.deviceDcb.XoffLim = 222;
    layer.state.deviceDcb.XonChar = 1;
    layer.state.deviceDcb.ErrorChar = 2;
    layer.state.deviceDcb.EofChar = 3;
    layer.state.deviceDcb.EvtChar = 4;
    layer.state.deviceDcb.wReserved1 = 0x1234;
    rs.setcharbit(264);
    rs.setXonLim(70000);
    rs.setXonChar(0);
    rs.setEvtChar('\r');
    rs.setflowflag(0x18001);
    rs.setbps(250000);
    ASSERT_TRUE(rs.Open());
    const DCB d = written();
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.XonLim, 4464);
    EXPECT_EQ(d.XoffLim, 222);
    EXPECT_EQ(d.XonChar, 1);
    EXPECT_EQ(d.XoffChar, 19);
    EXPECT_EQ(d.ErrorChar, 2);
    EXPECT_EQ(d.EofChar, 3);
    EXPECT_EQ(d.EvtChar, '\r');
    EXPECT_EQ(d.Flags, 0x18001u);
    EXPECT_EQ(d.BaudRate, 250000u);
    EXPECT_EQ(d.wReserved1, 0x1234) << "fields the component does not set keep the device's values";
    rs.Close();
    for (int bits : {5, 6, 7}) {
        rs.setcharbit(bits);
        ASSERT_TRUE(rs.Open());
        EXPECT_EQ(written().ByteSize, bits);
        rs.Close();
    }
}

TEST_F(OpenState, EventMaskComesFromTheAssignedHandlers) {
    ASSERT_TRUE(rs.Open());
    EXPECT_EQ(rs.eventMask(), 0u);
    EXPECT_FALSE(rs.threadRunning()) << "no handler, no thread";
    EXPECT_EQ(layer.state.mask, 0u);
    rs.Close();

    rs.OnPACKET = [](Trs232c*) {};
    ASSERT_TRUE(rs.Open());
    EXPECT_EQ(rs.eventMask(), kEvRxChar) << "OnPACKET alone watches arrivals, even with packetsize 0";
    EXPECT_TRUE(rs.threadRunning());
    rs.Close();

    rs.OnBREAK = rs.OnCTS = rs.OnDSR = rs.OnERR = rs.OnRING = rs.OnRLSD = rs.OnRXFLAG = rs.OnTXEMPTY = [](Trs232c*) {};
    rs.OnOpen = rs.OnClose = rs.OnCreate = [](Trs232c*) {};
    ASSERT_TRUE(rs.Open());
    EXPECT_EQ(rs.eventMask(),
              kEvBreak | kEvCts | kEvDsr | kEvErr | kEvRing | kEvRlsd | kEvRxChar | kEvRxFlag | kEvTxEmpty);
    EXPECT_EQ(layer.state.mask, rs.eventMask());
    rs.Close();
}

TEST_F(OpenState, OpenTwiceChangesNothingAndLinesMapToEscapeCodes) {
    int opens = 0;
    rs.OnOpen = [&](Trs232c* s) {
        ++opens;
        EXPECT_EQ(s, &rs);
        EXPECT_TRUE(s->SetDTR(true)) << "the port is usable inside OnOpen";
        EXPECT_TRUE(s->SetRTS(true));
    };
    ASSERT_TRUE(rs.Open());
    EXPECT_FALSE(rs.Open());
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(layer.state.opened, 1);
    rs.SetRTS(false);
    rs.SetDTR(false);
    EXPECT_EQ(layer.state.escapes, (std::vector<DWORD>{kSetDtr, kSetRts, kClrRts, kClrDtr}));
}

// --- Open's failure paths --------------------------------------------------------------------

TEST(OpenFailures, EachStepShowsItsMessageWhenDebuggingAndClosesWhatItOpened) {
    RecordingNotifier shown;
    struct Case {
        bool FakeState::*flag;
        const char* message;
    };
    const Case cases[] = {{&FakeState::failCreate, "回線オープンエラー"},
                          {&FakeState::failSetup, "バッファサイズ設定エラー"},
                          {&FakeState::failSetState, "通信条件設定エラー"},
                          {&FakeState::failSetTimeouts, "タイムアウト時間設定エラー"}};
    for (const Case& c : cases) {
        FakeLayer layer;
        Trs232c rs(layer);
        rs.setdebug(true);
        rs.OnRXCHAR = [](Trs232c*) {};
        int opens = 0;
        rs.OnOpen = [&](Trs232c*) { ++opens; };
        layer.state.*(c.flag) = true;
        shown.messages.clear();
        EXPECT_FALSE(rs.Open()) << c.message;
        EXPECT_EQ(shown.messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_FALSE(rs.isOpen());
        EXPECT_FALSE(rs.threadRunning());
        EXPECT_EQ(opens, 0);
        if (c.flag != &FakeState::failCreate) {
            EXPECT_EQ(layer.state.purges, std::vector<DWORD>{3u});
            EXPECT_TRUE(layer.state.closed) << "a failed Open releases the port";
        }
    }
}

TEST_F(OpenFailure, IsSilentWithoutDebug) {
    RecordingNotifier shown;
    layer.state.failSetState = true;
    EXPECT_FALSE(rs.Open());
    EXPECT_TRUE(shown.messages.isEmpty());
    layer.state.failSetState = false;
    EXPECT_TRUE(rs.Open()) << "a later Open starts afresh";
}
