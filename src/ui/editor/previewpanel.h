#pragma once

#include "ui/editor/contentpanel.h"

class QLabel;
class QPlainTextEdit;
class QScrollArea;

namespace tervelle {

class TreeNode;

// `pnlPreview`: a picture in a scroll box, a text, or "No preview".
class PreviewPanel : public ContentPanel
{
    Q_OBJECT

public:
    explicit PreviewPanel(QWidget *parent);

    // What the window colours and orders for the keyboard: the text, the picture's scroll box
    // and the "No preview" label.
    QPlainTextEdit *text() const { return txtPreview; }
    QScrollArea *pictureBox() const { return sbPreview; }
    QLabel *noPreviewLabel() const { return lblNoPreview; }

    // Shows the file behind the node by its file type: level icons as pictures, texture lists,
    // scripts and information pages as text, anything else (and no node) as "No preview".
    void UpdatePreview(const TreeNode *node);
    // A node going away takes its preview (or that of a node below it) along.
    void nodeAboutToBeRemoved(const TreeNode *removed);

    // Reads the TGA file into the view and centres it in the box; false (and an empty view)
    // when the file is missing, unreadable or declined by the reader.
    static bool DrawTgaOnImage(const QString &path, QLabel *view, QScrollArea *box);

protected:
    void panelResize() override;

private:
    void showNone();

    QLabel *lblNoPreview = nullptr;
    QScrollArea *sbPreview = nullptr;
    QLabel *imgPreview = nullptr;
    QPlainTextEdit *txtPreview = nullptr;

    const TreeNode *m_shown = nullptr;
    // As made, the panel shows "No preview" and nothing else.
    bool m_showsNone = true;
};

} // namespace tervelle
