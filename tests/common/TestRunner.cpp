// main() of a folder's test program: runs the Qt Test class named by the first argument;
// the arguments after it are Qt Test's own (test functions, -o, -v2, ...). CTest runs each
// class in a process of its own, so each is reported on its own line.

#include "common/TestMain.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::map<std::string, ZelvoTest::RunFunction> &Registry()
{
    static std::map<std::string, ZelvoTest::RunFunction> registry;
    return registry;
}

int Usage(const char *program)
{
    std::fprintf(stderr, "usage: %s TestClass [Qt Test arguments]\ntest classes:\n", program);
    for (const auto &entry : Registry())
        std::fprintf(stderr, "  %s\n", entry.first.c_str());
    return 2;
}

} // namespace

bool ZelvoTest::Register(const char *className, RunFunction run)
{
    if (!Registry().emplace(className, run).second) {
        std::fprintf(stderr, "two test classes are named %s\n", className);
        std::abort();
    }
    return true;
}

int main(int argc, char **argv)
{
    if (argc < 2 || argv[1][0] == '-')
        return Usage(argv[0]);
    const auto found = Registry().find(argv[1]);
    if (found == Registry().end()) {
        std::fprintf(stderr, "no test class %s\n", argv[1]);
        return Usage(argv[0]);
    }
    // Qt Test sees the program's name and the arguments after the class name.
    std::vector<char *> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    return found->second(int(arguments.size()) - 1, arguments.data());
}
