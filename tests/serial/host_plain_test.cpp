// The plain host, on which vtctl runs the component and the link: a thread's loop runs what other
// threads post, in order, and its timers by their deadlines, nested as Qt's loops nest.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "serial/host.h"

namespace {

using std::chrono::milliseconds;

struct Scenario {
    const char* name;
    std::function<void(host::Host&, std::string&)> run;  // appends what happened, in order
    const char* happened;
};

const Scenario kScenarios[] = {
    {"another thread's jobs run on the loop's thread in order",
     [](host::Host& h, std::string& out) {
         const auto loop = h.makeEventLoop();
         const auto inbox = h.makeInbox();
         const auto self = std::this_thread::get_id();
         std::thread([&] {
             for (char c : std::string("abc"))
                 inbox->post([&, c] { out += std::this_thread::get_id() == self ? c : '?'; });
             inbox->post([&] { loop->exit(7); });
         }).join();
         out += std::to_string(loop->exec());
     },
     "abc7"},
    {"timers fire by their deadlines; a stopped one never, one started again from then on",
     [](host::Host& h, std::string& out) {
         const auto loop = h.makeEventLoop();
         const auto late = h.makeTimer([&] { out += 'L', loop->exit(1); });
         const auto early = h.makeTimer([&] { out += 'E'; });
         const auto stopped = h.makeTimer([&] { out += 'S'; });
         const auto moved = h.makeTimer([&] { out += 'M'; });
         late->start(milliseconds(60));
         moved->start(milliseconds(1));
         early->start(milliseconds(20));
         stopped->start(milliseconds(10));
         stopped->stop();
         moved->start(milliseconds(40));
         out += stopped->isActive() ? "+" : "-";
         loop->exec();
     },
     "-EML"},
    {"a zero timer started again by itself lets the posted jobs run",
     [](host::Host& h, std::string& out) {
         const auto loop = h.makeEventLoop();
         const auto inbox = h.makeInbox();
         int rounds = 0;
         std::unique_ptr<host::Timer> again;
         again = h.makeTimer([&] {
             if (++rounds < 1000) again->start(milliseconds(0));
         });
         again->start(milliseconds(0));
         inbox->post([&] { out += rounds < 1000 ? "job" : "starved", loop->exit(0); });
         loop->exec();
     },
     "job"},
    {"an exit before the loop runs ends nothing; nested loops end innermost first",
     [](host::Host& h, std::string& out) {
         const auto outer = h.makeEventLoop();
         const auto inner = h.makeEventLoop();
         const auto inbox = h.makeInbox();
         outer->exit(9);
         inbox->post([&] {
             inbox->post([&] { outer->exit(2), out += 'o'; });
             inbox->post([&] { inner->exit(1), out += 'i'; });
             out += std::to_string(inner->exec());
         });
         out += std::to_string(outer->exec());
     },
     "oi12"},
    {"an inbox that goes takes its jobs with it; the component's messages reach its procedure",
     [](host::Host& h, std::string& out) {
         const auto loop = h.makeEventLoop();
         auto gone = h.makeInbox();
         gone->post([&] { out += "never"; });
         gone.reset();
         const auto window = h.makeEventWindow([&](const TPortMessage& m) {
             out += std::to_string(m.message) + "/" + std::to_string(m.generation) + " ";
             if (m.message == 2) loop->exit(0);
             return true;
         });
         std::thread([&] {
             window->post({1, 5});
             window->post({2, 6});
         }).join();
         loop->exec();
     },
     "1/5 2/6 "},
};

class PlainHost : public ::testing::TestWithParam<Scenario> {};

TEST_P(PlainHost, RunsTheThreadsEvents) {
    std::string happened;
    GetParam().run(host::plainHost(), happened);
    EXPECT_EQ(happened, GetParam().happened) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, PlainHost, ::testing::ValuesIn(kScenarios));

}  // namespace
