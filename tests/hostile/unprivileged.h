#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

// The user that checks of unreadable files run as when the tests run as
// root (who reads every file whatever its mode): "nobody".
uid_t UnprivilegedUser();

enum class UnprivilegedOutcome { Holds, Fails, CannotDrop };

// Runs check as an ordinary user: in this process when it is not root,
// otherwise in a child process that first becomes UnprivilegedUser().
// CannotDrop (with the reason in why) when root cannot change its user here.
UnprivilegedOutcome CheckUnprivileged(const std::function<bool()>& check, std::string& why);
