#include <QApplication>

#include <gtest/gtest.h>

namespace {

// The widgets need one application object for the whole test program.
class QtApplication : public testing::Environment
{
public:
    void SetUp() override { m_app = new QApplication(m_argc, m_argv); }
    void TearDown() override { delete m_app; }

private:
    int m_argc = 1;
    char m_name[19] = "keyword_view_tests";
    char* m_argv[2] = {m_name, nullptr};
    QApplication* m_app = nullptr;
};

[[maybe_unused]] testing::Environment* const kQtApplication =
    testing::AddGlobalTestEnvironment(new QtApplication);

} // namespace
