#pragma once

#include "core/common.h"
#include "project/projectmodel.h"
#include "support/testsupport.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace tervelle::test {

// A new project in the built-in language, made afresh for each test.
class NewProject : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetLanguage();
        model.NewFile();
    }
    void TearDown() override { resetLanguage(); }

    QStringList treeTexts() const
    {
        QStringList texts;
        for (const TreeNode *node : model.tree().nodes())
            texts << node->Text();
        return texts;
    }

    static QStringList childTexts(const TreeNode *node)
    {
        QStringList texts;
        for (int row = 0; row < node->childCount(); ++row)
            texts << node->child(row)->Text();
        return texts;
    }

    TreeNode *files() const { return model.root(FilesRoot); }

    Settings settings;
    ProjectModel model;
};

} // namespace tervelle::test
