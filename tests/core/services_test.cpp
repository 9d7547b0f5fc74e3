#include "core/services.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(VirtualClock, SleepsAndPumpsWithoutRealTime) {
    VirtualClock clock;
    int pumps = 0;
    clock.onPump = [&] { ++pumps; };
    clock.Sleep(500);
    EXPECT_DOUBLE_EQ(clock.Seconds(), 0.5);
    EXPECT_EQ(pumps, 1);  // a pause lets the window run, as a real one does
    clock.PumpEvents();
    EXPECT_EQ(pumps, 2);
    EXPECT_GT(clock.Seconds(), 0.5);
}

TEST(ScriptedPrompt, AnswersFromTheQueueThenWithTheDefaultButton) {
    ScriptedPrompt prompt;
    prompt.answers.push_back(Answer::Yes);
    MessageRequest question{"Q?", "T", Icon::Exclamation, Buttons::YesNo, Answer::No};
    EXPECT_EQ(prompt.Message(question), Answer::Yes);
    EXPECT_EQ(prompt.Message(question), Answer::No);
    ASSERT_EQ(prompt.messages.size(), 2U);
    EXPECT_EQ(prompt.messages[0].title, "T");
    FileDialogRequest dialog;
    EXPECT_EQ(prompt.FileDialog(dialog), "");
    prompt.fileNames.push_back("/tmp/a.dat");
    EXPECT_EQ(prompt.FileDialog(dialog), "/tmp/a.dat");
}

TEST(MemorySettingsStore, FallsBackWhenAbsent) {
    MemorySettingsStore store;
    EXPECT_EQ(store.Get("Settings", "lastmodel", "1"), "1");
    store.Set("Settings", "lastmodel", "2");
    EXPECT_EQ(store.Get("Settings", "lastmodel", "1"), "2");
}

}  // namespace
}  // namespace mrw
