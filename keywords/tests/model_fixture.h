#pragma once

#include "doc_keywords.h"
#include "keywords/keyword_model.h"
#include "keywords/vistrel_doc.h"
#include "platform/tests/temp_dir.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace model_tests {

using Texts = std::vector<std::string>;

// Code page 932 bytes of UTF-8 text.
std::string Cp932(std::string_view utf8);
using testing_support::Cp932List;

// A keyword model over a document of its own, watched by Qt's model tester, whose every
// complaint fails the test.
class ModelTest : public testing::Test
{
protected:
    ModelTest();
    ~ModelTest() override;

    // Makes keywords (bytes) the document's, not modified, and reloads the model.
    void Load(const Texts& keywords);
    // Opens a keyword file of these bytes (in the encoding they show) and reloads the model;
    // the file's path.
    std::string LoadFile(std::string_view bytes);

    // Column 0's bytes of every row; the document's keywords must be the same.
    Texts Rows() const;
    // Column 1 of every row, "|"-separated.
    std::string Marks() const;
    QVariant Data(int row, int column, int role = Qt::DisplayRole) const;

    testing_support::CTempDir m_dir;
    // Cleared by a test that changes the document behind the model's back.
    bool m_checkInStep = true;
    CVistrelDoc m_doc;
    keywords::KeywordModel m_model{m_doc};

private:
    QtMessageHandler m_previousHandler = nullptr;
    QAbstractItemModelTester m_tester{&m_model,
                                      QAbstractItemModelTester::FailureReportingMode::Warning};
};

} // namespace model_tests
