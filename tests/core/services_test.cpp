#include "core/services.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(TestServices, ClockPromptAndStoreWithoutRealTimeOrUser) {
    VirtualClock clock;
    int pumps = 0;
    clock.onPump = [&] { ++pumps; };
    clock.Sleep(500);
    EXPECT_DOUBLE_EQ(clock.Seconds(), 0.5);
    EXPECT_EQ(pumps, 1);  // a pause lets the window run, as a real one does

    ScriptedPrompt prompt;  // answers from the queue, then the default
    prompt.answers.push_back(Answer::Yes);
    MessageRequest question{"Q?", "T", Icon::Exclamation, Buttons::YesNo, Answer::No};
    EXPECT_EQ(prompt.Message(question), Answer::Yes);
    EXPECT_EQ(prompt.Message(question), Answer::No);
    EXPECT_EQ(prompt.messages.size(), 2U);

    MemorySettingsStore store;  // falls back when absent
    EXPECT_EQ(store.Get("Settings", "lastmodel", "1"), "1");
    store.Set("Settings", "lastmodel", "2");
    EXPECT_EQ(store.Get("Settings", "lastmodel", "1"), "2");
}

}  // namespace
}  // namespace mrw
