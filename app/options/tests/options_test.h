#pragma once

#include "app/options/options_sheet.h"
#include "config/config_store.h"
#include "platform/tests/temp_dir.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace options_test {

inline constexpr int kMissing = -424242; // what StoredInt gives for a missing key

// The options sheet over a Vistrel.ini of its own, shown offscreen. Messages are recorded;
// the folder browser records what it was given and answers m_browseAnswer.
class COptionsTest : public ::testing::Test
{
protected:
    void Open()
    {
        m_messages.clear();
        options::COptionPrompts prompts;
        prompts.message = [this](QWidget*, const QString& text) { m_messages.push_back(text); };
        prompts.browseFolder = [this](QWidget*, const QString& title, const QString& start) {
            m_browsed = {title, start};
            return m_browseAnswer;
        };
        m_sheet = std::make_unique<options::COptionSheet>(*m_pConfig, prompts);
        m_sheet->show();
        m_sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_sheet.get()));
    }

    template <class T>
    T* Field(const char* name) const
    {
        T* field = m_sheet->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(field, nullptr) << name;
        return field;
    }

    void ShowTab(int index) { m_sheet->Tabs()->setCurrentIndex(index); }

    std::optional<std::string> IniBytes() const
    {
        if (!std::filesystem::exists(m_pConfig->GetPath()))
            return std::nullopt;
        return testing_support::ReadFileBytes(m_pConfig->GetPath());
    }

    int StoredInt(config::Key key) const
    {
        const config::KeyInfo& info = config::Info(key);
        return m_pConfig->Profile().ReadInt(info.section, info.name, kMissing);
    }

    std::string StoredText(config::Key key) const
    {
        const config::KeyInfo& info = config::Info(key);
        return m_pConfig->Profile().ReadString(info.section, info.name, "(missing)");
    }

    testing_support::CTempDir m_dir;
    std::unique_ptr<config::Config> m_pConfig =
        std::make_unique<config::Config>(m_dir.File("Vistrel.ini"));
    std::unique_ptr<options::COptionSheet> m_sheet;
    std::vector<QString> m_messages;
    std::optional<QString> m_browseAnswer;
    std::pair<QString, QString> m_browsed; // title and start folder
};

} // namespace options_test
