#include "platform/tests/temp_dir.h"
#include "plugin_host/plugin_module.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <future>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using testing_support::CTempDir;
using testing_support::ReadFileBytes;

std::string TestPlugin(const char* name)
{
    return std::string(TEST_PLUGIN_DIR) + "/" + name + ".so";
}

TEST(PluginModule, LoadsByAbsolutePathOnly)
{
    CPluginModule module;
    EXPECT_FALSE(module.Load("good.so"));
    EXPECT_FALSE(module.Load(""));
    EXPECT_FALSE(module.Load(TestPlugin("missing")));
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_EQ(module.GetFileTitle(), "");
    EXPECT_EQ(module.GetPluginName(), "");
    EXPECT_FALSE(module.Unload());

    ASSERT_TRUE(module.Load(TestPlugin("good")));
    EXPECT_EQ(module.GetPath(), TestPlugin("good"));
    EXPECT_EQ(module.GetFileTitle(), "good");
    // A failed load keeps what was loaded.
    EXPECT_FALSE(module.Load(TestPlugin("missing")));
    EXPECT_EQ(module.GetFileTitle(), "good");
    EXPECT_TRUE(module.Unload());
    EXPECT_EQ(module.GetPath(), "");
    EXPECT_EQ(module.GetServerName(), "");
}

TEST(PluginModule, CallsEveryEntryPointWithTheContractsBuffers)
{
    CPluginModule module;
    ASSERT_TRUE(module.Load(TestPlugin("good")));
    EXPECT_EQ(module.GetPluginName(), "\x83\x65\x83\x58\x83\x67");
    EXPECT_EQ(module.GetServerName(), "127.0.0.1:8080");
    EXPECT_EQ(module.GetReferer(), "http://127.0.0.1/");
    EXPECT_EQ(module.GetSearchUrl("drama", 13), "/s?size=511&region=13&key=drama");
    // A request longer than the buffer arrives cut to 511 bytes and terminated.
    std::string url = module.GetSearchUrl(std::string(700, 'k'), 1);
    EXPECT_EQ(url.size(), 511u);
    EXPECT_TRUE(module.HasSetupOption());
    EXPECT_TRUE(module.SetupOption(42));
    EXPECT_FALSE(module.SetupOption(1)) << "a non-zero result is not success";
}

TEST(PluginModule, MergePassesTheListInOrderAndRefusesAnEmptyPath)
{
    CTempDir dir;
    CPluginModule module;
    ASSERT_TRUE(module.Load(TestPlugin("good")));
    EXPECT_TRUE(module.MergeDownloadFiles(dir.File("out.html"), {"/tmp/~TV1", "/tmp/~TV2"}));
    EXPECT_EQ(ReadFileBytes(dir.File("out.html")), "/tmp/~TV1\n/tmp/~TV2\n");
    EXPECT_TRUE(module.MergeDownloadFiles(dir.File("empty.html"), {}));
    EXPECT_EQ(ReadFileBytes(dir.File("empty.html")), "");
    EXPECT_FALSE(module.MergeDownloadFiles("", {}));
    EXPECT_FALSE(module.MergeDownloadFiles(dir.File("no/folder/out.html"), {}));
}

// The merge runs on a thread of the program's own while the main thread may still be in a
// call of its own (an options dialog open as a run ends): the calls take turns.
TEST(PluginModule, CallsTakeTurnsWhenTheMergeRunsOnAnotherThread)
{
    CTempDir dir;
    const std::string pipe = dir.File("page");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    CPluginModule module;
    ASSERT_TRUE(module.Load(TestPlugin("turns")));
    std::atomic<bool> merged = false;
    std::thread merge([&] {
        EXPECT_TRUE(module.MergeDownloadFiles(dir.File("out"), {pipe}));
        merged = true;
    });
    const int writer = open(pipe.c_str(), O_WRONLY); // returns once the merge has opened it
    ASSERT_GE(writer, 0);
    // Asks again and again until the merge has returned: every answer must come from outside it.
    std::promise<void> asking;
    std::set<std::string> answers;
    std::thread other([&] {
        asking.set_value();
        do
            answers.insert(module.GetServerName());
        while (!merged);
    });
    asking.get_future().wait();
    // A long page keeps the merge inside while the other thread asks; then it returns.
    const std::string piece(1 << 16, 'x');
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(write(writer, piece.data(), piece.size()), static_cast<ssize_t>(piece.size()));
    close(writer);
    merge.join();
    other.join();
    EXPECT_EQ(answers, std::set<std::string>{"alone"});
}

TEST(PluginModule, MissingEntryPointsGiveEmptyResults)
{
    CPluginModule module;
    ASSERT_TRUE(module.Load(TestPlugin("nameonly")));
    // A 255-byte name written without a terminator reaches the host whole and terminated.
    EXPECT_EQ(module.GetPluginName(), std::string(255, 'N'));
    EXPECT_EQ(module.GetServerName(), "");
    EXPECT_EQ(module.GetReferer(), "");
    EXPECT_EQ(module.GetSearchUrl("a", 8), "");
    EXPECT_FALSE(module.MergeDownloadFiles("/tmp/never-written.html", {}));
    EXPECT_FALSE(module.HasSetupOption());
    EXPECT_FALSE(module.SetupOption(42));
}

} // namespace
