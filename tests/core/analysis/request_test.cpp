#include "analysis/request.h"

#include <gtest/gtest.h>

#include <string>

namespace rel {
namespace {

// The range of --virtual-clock before anything is loaded, and model 2's limit once
// the failure rows are known: rate times rows at most 200,000,000.
TEST(FitRequest, VirtualClockRangeAndModelTwosLimit) {
    const struct {
        const char* clock;
        bool accepted;
    } before[] = {{"1", true}, {"10000000", true}, {"10000001", false}, {"100000000", false}, {"0", false}};
    for (const auto& c : before) {
        FitRequest r;
        r.data = "fleet.txt";
        r.virtualClock = c.clock;
        const CheckedRequest checked = CheckFitRequest(r, false);
        EXPECT_EQ(checked.plan.has_value(), c.accepted) << c.clock << ": " << checked.error.message;
    }

    const struct {
        bool smirnov;
        std::int64_t clock;
        std::size_t rows;
        const char* refusal;  // nullptr: accepted
    } after[] = {
        {true, 2000, 100000, nullptr},
        {true, 2001, 100000,
         "--virtual-clock: \"2001\" вне допустимых пределов для модели 2 на 100000 строках отказов (от 1 до "
         "2000): "
         "ее критерий вычисляется по каждому отказу"},
        {true, 10000000, 20, nullptr},
        {true, 638977, 313, nullptr},
        {true, 638978, 313, "(от 1 до 638977)"},
        {true, 1, 1000000, nullptr},
        {true, 2, 300000000, "(от 1 до 1)"},  // more rows than the work allows: the slowest clock stays
        {true, 0, 100000, nullptr},           // the wall clock
        {false, 10000000, 1000000, nullptr},  // models 1.1 and 1.2 do not depend on the rows
    };
    for (const auto& c : after) {
        FitPlan p;
        if (c.smirnov) p.methods = {"2"};
        p.virtualClock = c.clock;
        const auto bad = CheckClockForFailures(p, c.rows);
        if (!c.refusal) {
            EXPECT_FALSE(bad) << c.clock << " " << c.rows << ": " << bad->message;
        } else {
            ASSERT_TRUE(bad) << c.clock << " " << c.rows;
            EXPECT_EQ(bad->option, "--virtual-clock");
            EXPECT_NE(bad->message.find(c.refusal), std::string::npos) << bad->message;
        }
    }
}

}  // namespace
}  // namespace rel
