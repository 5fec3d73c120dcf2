#include "model_fixture.h"

#include "platform/cp932.h"

#include <QStringList>

#include <cstring>

namespace model_tests {
namespace {

QtMessageHandler g_passOn = nullptr;

// The model tester reports in the category "qt.modeltest".
void FailOnModelTesterMessages(QtMsgType type, const QMessageLogContext& context,
                               const QString& text)
{
    if (context.category && std::strcmp(context.category, "qt.modeltest") == 0 &&
        type != QtDebugMsg) {
        ADD_FAILURE() << "model tester: " << text.toStdString();
        return;
    }
    if (g_passOn)
        g_passOn(type, context, text);
}

} // namespace

std::string Cp932(std::string_view utf8)
{
    platform::Result<std::string> bytes = platform::Utf8ToCp932(utf8);
    EXPECT_TRUE(bytes) << utf8;
    return bytes.value;
}

ModelTest::ModelTest()
{
    m_previousHandler = qInstallMessageHandler(FailOnModelTesterMessages);
    g_passOn = m_previousHandler;
}

ModelTest::~ModelTest()
{
    if (m_checkInStep) {
        EXPECT_EQ(Rows(), m_doc.GetKeywords()) << "the rows are the document's keywords";
    }
    qInstallMessageHandler(m_previousHandler);
}

void ModelTest::Load(const Texts& keywords)
{
    testing_support::SetKeywords(m_doc, keywords);
    m_doc.SetModifiedFlag(false);
    m_model.Reload();
}

std::string ModelTest::LoadFile(std::string_view bytes)
{
    std::string path = m_dir.File("list.txt");
    testing_support::WriteFileBytes(path, bytes);
    EXPECT_TRUE(m_doc.OnOpenDocument(path));
    m_model.Reload();
    return path;
}

Texts ModelTest::Rows() const
{
    Texts rows;
    for (int row = 0; row < m_model.rowCount(); ++row)
        rows.push_back(Data(row, 0, keywords::KeywordModel::BytesRole).toByteArray().toStdString());
    return rows;
}

std::string ModelTest::Marks() const
{
    QStringList marks;
    for (int row = 0; row < m_model.rowCount(); ++row)
        marks.append(Data(row, 1).toString());
    return marks.join(QLatin1Char('|')).toStdString();
}

QVariant ModelTest::Data(int row, int column, int role) const
{
    return m_model.data(m_model.index(row, column), role);
}

} // namespace model_tests
