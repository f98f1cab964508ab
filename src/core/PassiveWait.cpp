// Linked into the window's program and morvaplot-cli-qt (into programs, not
// into a library): threads that wait for work sleep instead of spinning.
// morvaplot-cli chooses the same in its main.
//
// Between two parallel stages the OpenMP runtime's idle threads spin for a
// while before they sleep. In a batch of several processes on as many cores,
// each process's spinning threads take the cores the others need; in the
// window they burn a core after every Calc and Fill. A sleeping thread is
// woken within microseconds, which the stages (milliseconds each) do not
// notice.
//
// The runtime reads its wait policy from the environment once, in its
// constructor, before main. Setting the variable from the program cannot
// reach it: the C library's own start-up, which runs before that constructor,
// takes the environment from the process's start again. So when the user has
// not chosen a policy, the program starts itself anew with the passive one,
// right at the beginning (the executable's .preinit_array runs before any
// library's constructor), which costs one more loading of the program and
// nothing else. A policy the user set is kept; if the program cannot be
// started again it runs on with the runtime's default.

#include <unistd.h>

#include <cstring>
#include <vector>

namespace {

constexpr char PolicyName[] = "OMP_WAIT_POLICY=";

void ChoosePassiveWait(int, char** argv, char** envp) {
    std::vector<char*> environment;
    for (char** e = envp; e != nullptr && *e != nullptr; ++e) {
        if (std::strncmp(*e, PolicyName, sizeof PolicyName - 1) == 0) return;
        environment.push_back(*e);
    }
    // execve takes the texts as char* but does not write them.
    environment.push_back(const_cast<char*>("OMP_WAIT_POLICY=passive"));
    environment.push_back(nullptr);
    ::execve("/proc/self/exe", argv, environment.data());
}

}  // namespace

[[gnu::used, gnu::section(".preinit_array")]] void (*const MorvaplotPassiveWait)(int, char**,
                                                                                 char**) = ChoosePassiveWait;
