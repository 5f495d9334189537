#include "platform/profile_lock.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <optional>

#include "support/temp_home.h"

namespace zemblo {
namespace {

using State = ProfileLock::State;

// One claim at a time, whoever asks (a lock on another descriptor conflicts even in this process,
// as it does across processes), and a program the holder started does not keep the claim once the
// holder lets go: the web engine's processes outlive the browser for a moment.
TEST(ProfileLockTest, OneHolderAtATimeAndProgramsItStartedDoNotKeepIt) {
  testing::TempHome home;
  const auto folder = home.root();
  std::optional<ProfileLock> first(std::in_place, folder, "session-a");
  ASSERT_EQ(first->state(), State::held);
  EXPECT_EQ(ProfileLock(folder).state(), State::inUse);
  // Told without a claim: a start of another session, not one of the holder's own.
  EXPECT_TRUE(ProfileLock::heldByAnother(folder, "session-b"));
  EXPECT_FALSE(ProfileLock::heldByAnother(folder, "session-a"));

  // Started as a plain fork and exec does, which keeps every descriptor not marked otherwise.
  pid_t started = 0;
  char program[] = "sleep", seconds[] = "30";
  char* arguments[] = {program, seconds, nullptr};
  ASSERT_EQ(posix_spawnp(&started, program, nullptr, nullptr, arguments, environ), 0);
  first.reset();
  // The name left in the file says nothing once its writer let go.
  EXPECT_FALSE(ProfileLock::heldByAnother(folder, "session-b"));
  EXPECT_EQ(ProfileLock(folder).state(), State::held);
  kill(started, SIGKILL);
  waitpid(started, nullptr, 0);

  // A folder where no file can be made: nothing says the profile is in use.
  EXPECT_EQ(ProfileLock(folder / "missing").state(), State::unavailable);
}

}  // namespace
}  // namespace zemblo
