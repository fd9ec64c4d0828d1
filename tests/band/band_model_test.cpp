// What the "Band" chart shows, without drawing it: its points against the core's own figures,
// the ticks of its axes, the channels' marks; and its sweep thread started over and stopped
// (also under TSan).
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "band/band_job.h"
#include "band/band_model.h"
#include "planning/sweep_text.h"
#include "text/cp932.h"

namespace {

band::Request request(const char* from, const char* to, const char* step, std::vector<int64_t> rs) {
    std::string problem;
    const auto steps = planning::SweepSteps::read(from, to, step, '.', problem);
    return {{*steps, std::move(rs), "100", "10"}, 1'000'000};
}

struct TickCase {
    double lo, hi, pixels;
    bool log;
    std::vector<std::string> labels;
};
class Ticks : public testing::TestWithParam<TickCase> {};

}  // namespace

// Labels 7 pixels a character across; on the log axis 12 pixels high.
TEST_P(Ticks, OneTwoFiveStepsWhoseLabelsKeepApart) {
    const TickCase& c = GetParam();
    const auto width = [](const std::string& s) { return 7.0 * static_cast<double>(s.size()); };
    const band::Ticks t = c.log ? band::logTicks(c.lo, c.hi, c.pixels, 12)
                                : band::linearTicks(c.lo, c.hi, c.pixels, band::TickText::Megahertz, width, 16);
    EXPECT_EQ(t.labels, c.labels);
    EXPECT_EQ(t.values.size(), t.labels.size());
}
INSTANTIATE_TEST_SUITE_P(
    Table, Ticks,
    testing::Values(
        TickCase{12290, 12390, 400, false, {"12300", "12320", "12340", "12360", "12380"}},
        TickCase{12290,
                 12390,
                 900,
                 false,
                 {"12290", "12300", "12310", "12320", "12330", "12340", "12350", "12360", "12370", "12380", "12390"}},
        TickCase{0.95, 1.05, 400, false, {"0.96", "0.98", "1.00", "1.02", "1.04"}},
        TickCase{1e2, 1e7, 150, true, {"100", "1k", "10k", "100k", "1M", "10M"}},
        TickCase{1e3, 1e6, 150, true, {"1k", "2k", "5k", "10k", "20k", "50k", "100k", "200k", "500k", "1M"}},
        TickCase{1e-3, 1e7, 90, true, {"0.001", "0.1", "10", "1k", "100k", "10M"}},
        TickCase{1e-3, 1e7, 40, true, {"0.001", "100", "10M"}}));

TEST(BandModel, HertzTickLabels) {
    for (const auto& [hz, text] : std::vector<std::pair<double, std::string>>{
             {0, "0"}, {500, "500"}, {-2000, "-2k"}, {1.5e6, "1.5M"}, {0.01, "0.01"}, {2e9, "2G"}})
        EXPECT_EQ(band::hzTickLabel(hz), text);
}

// A channel is marked where its description says its output is, when that is in the band.
TEST(BandModel, ChannelMarksInTheBand) {
    planning::ChannelTable table;
    const char* outputs[] = {"12340", "12289.9", "12390", "", "12350,5", "12290", "12300.25", "x"};
    for (int c = 0; c < planning::ChannelTable::kChannels; ++c)
        if (*outputs[c])
            table.set(c, {}, text::utf8ToCp932(std::string(outputs[c]) + "MHz, std=10MHz, PD=5000000Hz, UpGain=127"));
    std::vector<std::pair<int, double>> marks;
    for (const band::ChannelMark& m : band::channelMarks(table, {12290, 12390}, ','))
        marks.emplace_back(m.channel, m.mhz);
    EXPECT_EQ(marks,
              (std::vector<std::pair<int, double>>{{0, 12340}, {2, 12390}, {4, 12350.5}, {5, 12290}, {6, 12300.25}}));
}

// Every point's numbers are the core's figures (within the last decimal its texts show); the
// summary the core's; the point readout and the nearest output as the stepping has them.
TEST(BandModel, PointsAreTheSweepsFigures) {
    const band::Request req = request("12339.5", "12340.5", "0.01", {2, 3});
    std::atomic<bool> stop{false};
    std::atomic<int64_t> done{0};
    const auto result = band::compute(req, stop, done);
    ASSERT_TRUE(result);
    EXPECT_EQ(done, 404);  // each point by both searches
    ASSERT_EQ(result->curves.size(), 2u);
    EXPECT_EQ(result->csv.substr(0, result->csv.find('\n') + 1), planning::sweepCsvHeader());
    for (const int64_t index : {0, 37, 50, 100})
        for (size_t c = 0; c < 2; ++c) {
            const planning::SweepPoint p = planning::sweepPoint(req.inputs, index, c);
            EXPECT_NEAR(result->curves[c].errorHz[static_cast<size_t>(index)],
                        std::stod(planning::hzText(*p.figures->errorHz, '.')), 5e-4);
            EXPECT_NEAR(result->curves[c].spurHz[static_cast<size_t>(index)],
                        std::stod(planning::hzText(*p.figures->spurs.offsetHz(), '.')), 5e-4);
            planning::SweepInputs nearest = req.inputs;
            nearest.search = planning::Search::Nearest;
            const planning::SweepPoint n = planning::sweepPoint(nearest, index, c);
            EXPECT_NEAR(result->curves[c].nearestErrorHz[static_cast<size_t>(index)],
                        std::stod(planning::hzText(*n.figures->errorHz, '.')), 5e-4);
        }
    EXPECT_EQ(band::pointText(req, 50, 1),
              "12340.00 MHz, R 3: error 1225.471 Hz (nearest word -6.358 Hz), spur "
              "66678.921 Hz (beat), nearer than 1000000 Hz");
    EXPECT_EQ(band::pointText(req, 50, 0),
              "12340.00 MHz, R 2: error -26.226 Hz (nearest word -26.226 Hz), spur 1600000.262 Hz (beat)");
    EXPECT_EQ(band::pointText(request("12340", "12340", "1", {20000}), 0, 0),
              "12340 MHz, R 20000 (the words use R 16384): error 2723476562.500 Hz (nearest word -0.003 Hz), no spur");
    for (const auto& [mhz, index] : std::vector<std::pair<double, int64_t>>{
             {12340.004, 50}, {12340.006, 51}, {99999, 100}, {0, 0}})  // 0.4 and 0.6 of a step past 50
        EXPECT_EQ(band::nearestOutput(req.inputs.steps, mhz), index) << mhz;
    const band::Range spur = band::spurRange(*result), error = band::errorRange(*result);
    EXPECT_EQ(std::pair(spur.lo, spur.hi), std::pair(1e4, 1e7));
    EXPECT_TRUE(error.lo < -26.226 && error.hi > 1225.471) << error.lo << " " << error.hi;  // R 2's and R 3's at 50
}

// A sweep started over stops the one before, which then reports nothing; the last one reports
// its whole result once. A job ended mid-sweep waits for its thread.
TEST(BandJob, StartedOverAndStopped) {
    std::promise<std::shared_ptr<const band::Result>> last;
    std::atomic<int> reports{0};
    {
        band::Job job;
        job.start(request("1000", "1999.999", "0.001", {1, 2}), [&](auto) { ++reports; });
        job.start(request("12339", "12341", "0.5", {2, 3}), [&](auto r) {
            ++reports;
            last.set_value(std::move(r));
        });
        const auto result = last.get_future().get();
        EXPECT_EQ(result->curves.size(), 2u);
        EXPECT_EQ(result->curves[1].errorHz.size(), 5u);
        EXPECT_EQ(job.pointsDone(), job.pointsTotal());
        std::promise<void> next;
        job.start(request("12339", "12340", "0.5", {2}), [&](auto) { next.set_value(); });
        next.get_future().wait();
        EXPECT_EQ(job.pointsDone(), 6) << "a job's progress starts at 0 (3 points, each by both searches)";
        job.start(request("1000", "1999.999", "0.001", {1, 2, 3, 4}), [&](auto) { ++reports; });
    }
    EXPECT_EQ(reports, 1);
}
