// The timer's Interval rules, measured with Qt's clock. Where a bound could only be an
// upper one (a tick that must come "soon enough"), the test asks instead which of two
// timers fired first: Qt fires overdue timers in the order of their deadlines, so the
// answer holds even when the machine stalls the test for a while.
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "forms/unit_interface.h"
#include "libraries/library_table.h"
#include "tests/support/unit_form_test.h"
#include "units/base/unit_methods.h"
#include "units/timer/timer_class.h"
#include "units/timer/timer_class_data.h"
#include "units/timer/timer_unit.h"

extern const unsigned char timer_window_block[];
extern const int timer_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010024;
constexpr uint32_t kTimer = 0x16010040;         // Interval 0, Tick bound
constexpr uint32_t kRunning = 0x16010041;       // Interval 30 from its class data
constexpr uint32_t kSelfChanging = 0x16010042;  // its Tick handler writes its own Interval
constexpr int32_t kInterval = 8;
constexpr int32_t kVisible = 5;

// The earliest a tick `interval` ms after the start may be seen: coarse timers may fire up to
// 5% early, and the clock reads whole milliseconds, cut off.
double Earliest(int32_t interval) { return interval * 0.95 - 1; }

QElapsedTimer& Clock() {
  static QElapsedTimer clock;
  return clock;
}
std::vector<qint64>& Ticks() {
  static std::vector<qint64> ticks;
  return ticks;
}
std::vector<std::string>& Order() {
  static std::vector<std::string> order;
  return order;
}
int& SecondTicks() {
  static int count = 0;
  return count;
}

runtime::HandlerResult OnTick(const int32_t*, int32_t) {
  Ticks().push_back(Clock().elapsed());
  Order().push_back("tick");
  return {};
}
runtime::HandlerResult OnSecondTick(const int32_t*, int32_t) {
  ++SecondTicks();
  return {};
}

// The values the self-changing timer's handler writes into its own Interval, one per tick.
std::vector<int32_t>& SelfWrites() {
  static std::vector<int32_t> writes;
  return writes;
}
int& SelfTicks() {
  static int count = 0;
  return count;
}
runtime::HandlerResult OnSelfChangingTick(const int32_t*, int32_t) {
  const int tick = SelfTicks()++;
  if (tick < static_cast<int>(SelfWrites().size())) {
    forms::FormsRuntime::Instance().WriteUnitProperty(kForm, kSelfChanging, kInterval, -1,
                                                      runtime::ArgCell::Int(SelfWrites()[tick]));
  }
  return {};
}

const runtime::EventHandler kRoutines[] = {OnTick, OnSecondTick, OnSelfChangingTick};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = unit_tests::MakeImage(
      kRoutines, timer_window_block, timer_window_block_size, libraries::LibraryTable());
  return image;
}

class Timer : public unit_tests::FormTest {
 protected:
  Timer() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    Ticks().clear();
    Order().clear();
    SecondTicks() = 0;
    SelfTicks() = 0;
    SelfWrites().clear();
    ASSERT_TRUE(Load());
    Clock().start();
  }
  bool WaitForTicks(size_t count) {
    return QTest::qWaitFor([&] { return Ticks().size() >= count; }, 10000);
  }
  // A reference timer that notes in Order() when it fires.
  void StartReference(int milliseconds) {
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, [] { Order().push_back("reference"); });
  }
  bool WaitForReference() {
    return QTest::qWaitFor(
        [] { return std::find(Order().begin(), Order().end(), "reference") != Order().end(); },
        10000);
  }
};

TEST_F(Timer, WritingAPeriodToAStoppedTimerStartsIt) {
  EXPECT_EQ(ReadInt(kTimer, kInterval), 0);
  EXPECT_FALSE(UnitAs<units::TimerUnit>(kTimer)->IsRunning());
  QTest::qWait(50);
  EXPECT_TRUE(Ticks().empty());
  Clock().restart();
  WriteInt(kTimer, kInterval, 200);
  EXPECT_EQ(ReadInt(kTimer, kInterval), 200);
  ASSERT_TRUE(WaitForTicks(1));
  EXPECT_GE(Ticks()[0], Earliest(200));
}

TEST_F(Timer, WritingTheSameValueAgainDoesNotDelayTheNextTick) {
  WriteInt(kTimer, kInterval, 1000);
  QTest::qWait(400);
  WriteInt(kTimer, kInterval, 1000);
  // Not restarted, the tick is due about 600 ms after the second write; restarted it would
  // come 1000 ms after it. The reference sits between, 200 ms from either.
  StartReference(800);
  ASSERT_TRUE(WaitForTicks(1));
  ASSERT_TRUE(WaitForReference());
  EXPECT_EQ(Order().front(), "tick") << "tick at " << Ticks()[0] << " ms";
  EXPECT_GE(Ticks()[0], Earliest(1000));
}

TEST_F(Timer, WritingANewValueRestartsTheTiming) {
  WriteInt(kTimer, kInterval, 400);
  QTest::qWait(100);
  const qint64 written = Clock().elapsed();
  WriteInt(kTimer, kInterval, 700);
  // A loaded machine may have let the old period tick before the write: only what comes
  // after it counts.
  Ticks().clear();
  Order().clear();
  // The old period would tick about 300 ms after the write, before the reference at 500;
  // the new one about 700 ms after it. Wide margins keep a loaded machine from swapping them.
  StartReference(500);
  ASSERT_TRUE(WaitForTicks(1));
  ASSERT_TRUE(WaitForReference());
  EXPECT_EQ(Order().front(), "reference") << "tick at " << Ticks()[0] << " ms";
  EXPECT_GE(Ticks()[0] - written, Earliest(700));
}

TEST_F(Timer, ZeroAndNegativeValuesStopIt) {
  for (const int32_t stop : {0, -20}) {
    WriteInt(kTimer, kInterval, 20);
    ASSERT_TRUE(WaitForTicks(Ticks().size() + 1));
    WriteInt(kTimer, kInterval, stop);
    EXPECT_EQ(ReadInt(kTimer, kInterval), 0);
    EXPECT_FALSE(UnitAs<units::TimerUnit>(kTimer)->IsRunning());
    const size_t stopped_at = Ticks().size();
    QTest::qWait(120);
    EXPECT_EQ(Ticks().size(), stopped_at) << "after writing " << stop;
  }
}

TEST_F(Timer, TicksMissedWhileTheLoopIsBusyAreMerged) {
  WriteInt(kTimer, kInterval, 20);
  ASSERT_TRUE(WaitForTicks(1));
  const size_t before = Ticks().size();
  QThread::msleep(300);  // fifteen periods without a look at the queue
  ASSERT_TRUE(QTest::qWaitFor([&] { return Ticks().size() > before; }, 10000));
  EXPECT_LE(Ticks().size() - before, 2u);
}

TEST_F(Timer, ATimerMadeWithAPeriodRunsAndNeverShows) {
  EXPECT_TRUE(QTest::qWaitFor([] { return SecondTicks() >= 2; }, 10000));
  EXPECT_EQ(ReadInt(kRunning, kInterval), 30);
  EXPECT_FALSE(Unit(kRunning)->IsVisible());
  Write(kRunning, kVisible, runtime::ArgCell::Logical(true));
  EXPECT_FALSE(Unit(kRunning)->IsVisible());
}

TEST_F(Timer, NoTickReachesAUnitWhoseWindowIsGone) {
  WriteInt(kTimer, kInterval, 10);
  ASSERT_TRUE(WaitForTicks(1));
  units::Destroy(kForm, kTimer);
  const size_t after_destroy = Ticks().size();
  QTest::qWait(60);
  EXPECT_EQ(Ticks().size(), after_destroy);
  // The whole window going takes the other timer with it.
  Unit(0)->Destroy();
  const int second = SecondTicks();
  QTest::qWait(100);
  EXPECT_EQ(SecondTicks(), second);
}

TEST_F(Timer, ATickHandlerMayRestartOrStopItsOwnTimer) {
  SelfWrites() = {25, 20, 0};  // a new period, another, then stop
  WriteInt(kSelfChanging, kInterval, 15);
  EXPECT_TRUE(QTest::qWaitFor([] { return SelfTicks() >= 3; }, 10000));
  QTest::qWait(100);
  EXPECT_EQ(SelfTicks(), 3);
  EXPECT_EQ(ReadInt(kSelfChanging, kInterval), 0);
  EXPECT_FALSE(UnitAs<units::TimerUnit>(kSelfChanging)->IsRunning());
}

TEST(TimerClassData, RoundTripsThroughTheCodecAndRefusesUnknownVersions) {
  const units::ClassDataCodec codec = units::TimerClass().codec;
  const auto bytes = codec.encode({{"Interval", int64_t{1000}}});
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, (std::vector<uint8_t>{1, 0, 0, 0, 0xE8, 0x03, 0, 0}));
  EXPECT_EQ(codec.encode(*codec.decode(*bytes)), bytes);
  EXPECT_EQ(codec.event_names, (std::vector<std::string>{"Tick"}));
  EXPECT_FALSE(codec.encode({{"Period", int64_t{1}}}));
  EXPECT_EQ(units::TimerClassData::Read({})->interval, 0);
  EXPECT_FALSE(units::TimerClassData::Read(std::vector<uint8_t>{2, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_FALSE(units::TimerClassData::Read(std::vector<uint8_t>{1, 0, 0, 0, 1}));
}

}  // namespace
