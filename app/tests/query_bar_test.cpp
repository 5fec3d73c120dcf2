#include "app/main_frame.h"
#include "app/query_bar.h"
#include "app/tests/app_folder.h"
#include "platform/cp932.h"
#include "plugin_host/plugin_module.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace app_test {
namespace {

using config::Key;

TEST(QueryBar, PluginsSortedByDisplayNameEachBoundToItsOwnModule)
{
    CAppFolder folder{"alpha", "medora", "zulu"};
    CStartedApp started(folder);
    ASSERT_TRUE(started.Started());
    const QComboBox* list = started.Frame().GetQueryBar()->PluginList();

    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        names << list->itemText(i);
        const auto* module = static_cast<const CPluginModule*>(list->itemData(i).value<void*>());
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(QString::fromUtf8(platform::Cp932ToUtf8(module->GetPluginName())),
                  list->itemText(i));
        // The module is one of the application's own, not a copy.
        const auto& plugins = started.App().GetPlugins();
        EXPECT_TRUE(std::any_of(plugins.begin(), plugins.end(),
                                [module](const auto& p) { return p.get() == module; }));
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Alpha"), QStringLiteral("Zeta"),
                                  QStringLiteral("メドラ")}));
    // "Alpha" is zulu.so and "Zeta" is alpha.so: the names sort against the files.
    EXPECT_EQ(static_cast<CPluginModule*>(list->itemData(0).value<void*>())->GetFileTitle(),
              "zulu");
}

struct DllNameCase
{
    const char* stored;
    const char* selected; // file title, or "" for none
};

class DllName : public testing::TestWithParam<DllNameCase>
{
};

TEST_P(DllName, SelectsOnlyTheExactFileTitle)
{
    CAppFolder folder{"alpha", "medora", "zulu"};
    folder.Config().WriteString(Key::DLLName, GetParam().stored);
    CStartedApp started(folder);
    const CPluginModule* plugin = started.Frame().GetSelectedPlugin();
    EXPECT_EQ(plugin ? plugin->GetFileTitle() : std::string(), GetParam().selected);
    EXPECT_EQ(started.Frame().GetQueryBar()->PluginList()->currentIndex() < 0,
              std::string(GetParam().selected).empty());
}

INSTANTIATE_TEST_SUITE_P(Names, DllName,
                         testing::Values(DllNameCase{"medora", "medora"},
                                         DllNameCase{"alpha", "alpha"}, DllNameCase{"MEDORA", ""},
                                         DllNameCase{"Medora", ""}, DllNameCase{"medora.so", ""},
                                         DllNameCase{"", ""}, DllNameCase{"Zeta", ""}));

TEST(QueryBar, OptionButtonRunsThePluginsOptionsWithTheWindowAsOwner)
{
    CAppFolder folder{"medora", "zulu"};
    const std::string log = folder.File("options.log");
    // Through Qt, whose own threads read the environment under the same lock.
    qputenv("VISTREL_TEST_OPTION_LOG", QByteArray::fromStdString(log));
    CStartedApp started(folder);
    started.Frame().GetQueryBar()->OptionButton()->click();
    qunsetenv("VISTREL_TEST_OPTION_LOG");

    EXPECT_EQ(testing_support::ReadFileBytes(log), std::to_string(started.Frame().winId()) + "\n");
    EXPECT_TRUE(started.prompts.messages.empty());
}

TEST(QueryBar, PluginWithoutOptionsSaysSo)
{
    CAppFolder folder{"zulu"};
    folder.Config().WriteString(Key::DLLName, "zulu");
    CStartedApp started(folder);
    started.Frame().GetQueryBar()->OptionButton()->click();
    ASSERT_EQ(started.prompts.messages.size(), 1u);
    EXPECT_EQ(started.prompts.messages[0].text,
              QStringLiteral("このプラグインにオプション設定はありません。"));
    EXPECT_EQ(started.prompts.messages[0].icon, app::MsgIcon::None);
    EXPECT_EQ(started.prompts.messages[0].buttons, app::MsgButtons::Ok);
}

TEST(QueryBar, NoSelectedPluginMakesTheOptionButtonDoNothing)
{
    CAppFolder folder{"zulu"};
    folder.Config().WriteString(Key::DLLName, "none");
    CStartedApp started(folder);
    started.Frame().GetQueryBar()->OptionButton()->click();
    EXPECT_TRUE(started.prompts.messages.empty());
}

} // namespace
} // namespace app_test
