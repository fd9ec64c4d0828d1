#include "planning/channel_plan.h"

#include "planning/channel_table.h"

namespace planning {

PlannedChannel planChannel(const ChannelInputs& in) {
    PlannedChannel out;
    out.plan = findRatios(in.plan);
    const PlanLabels labels = planLabels(out.plan, in.plan.decimalSeparator);
    CalcPLLReg(in.cp, in.sd, labels.r, labels.nInt, labels.nFrac, out.words);
    // The description quotes the inputs as typed and the "PD(Hz)" label the search wrote.
    out.description = ChannelDescription({in.plan.localOutput, in.plan.std, labels.pdHz, in.cp, in.sd});
    out.figures = figuresOf(in.plan, out.plan.Multiplier, out.words);
    return out;
}

}  // namespace planning
