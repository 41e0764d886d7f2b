#include "support/DeepTree.h"

#include "system/Shell.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

namespace tidra::test {

std::string makeDeepTree(const std::string& top, int levels, const std::string& name) {
    int folder = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string path = top;
    for (int level = 0; level < levels && folder >= 0; ++level) {
        ::mkdirat(folder, name.c_str(), 0755);
        const int next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(folder);
        folder = next;
        path += "/" + name;
    }
    if (folder >= 0) ::close(folder);
    return path;
}

bool removeDeepTree(const std::string& path) {
    // rm walks by descriptors, so neither depth nor path length stops it.
    const auto output = Shell::run("/bin/rm", {"-rf", "--", path}, {}, std::chrono::seconds(120));
    return output && output->succeeded() && ::access(path.c_str(), F_OK) != 0;
}

std::string onSmallStack(const std::function<std::string()>& fn) {
    struct Call {
        const std::function<std::string()>* fn;
        std::string answer;
    } call{&fn, {}};
    pthread_attr_t attributes;
    ::pthread_attr_init(&attributes);
    ::pthread_attr_setstacksize(&attributes, 128 * 1024);
    pthread_t thread;
    const auto body = [](void* argument) -> void* {
        auto* c = static_cast<Call*>(argument);
        c->answer = (*c->fn)();
        return nullptr;
    };
    const bool started = ::pthread_create(&thread, &attributes, body, &call) == 0;
    ::pthread_attr_destroy(&attributes);
    if (!started) return "<no thread>";
    ::pthread_join(thread, nullptr);
    return call.answer;
}

} // namespace tidra::test
