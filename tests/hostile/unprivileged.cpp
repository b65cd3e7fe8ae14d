#include "hostile/unprivileged.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kHolds = 0;
constexpr int kFails = 1;
constexpr int kCannotDrop = 2;

} // namespace

uid_t UnprivilegedUser() {
    const passwd* nobody = getpwnam("nobody");
    return nobody != nullptr ? nobody->pw_uid : 65534;
}

UnprivilegedOutcome CheckUnprivileged(const std::function<bool()>& check, std::string& why) {
    if (geteuid() != 0) {
        return check() ? UnprivilegedOutcome::Holds : UnprivilegedOutcome::Fails;
    }
    const uid_t user = UnprivilegedUser();
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0) {
            _exit(kCannotDrop);
        }
        _exit(check() ? kHolds : kFails);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        why = "the unprivileged child did not end normally";
        return UnprivilegedOutcome::Fails;
    }
    if (WEXITSTATUS(status) == kCannotDrop) {
        why = "running as root, and the user cannot be changed here";
        return UnprivilegedOutcome::CannotDrop;
    }
    return WEXITSTATUS(status) == kHolds ? UnprivilegedOutcome::Holds : UnprivilegedOutcome::Fails;
}
