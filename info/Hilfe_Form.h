#pragma once

#include "kern.h"

#include <QDialog>

#include <memory>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class clsResize;

// The help window: a fixed German usage text, sized and placed for the screen preset every time
// it is shown. Closing it only hides it, so one window serves the whole run.
class Hilfe_Form : public QDialog {
    Q_OBJECT
public:
    explicit Hilfe_Form(QWidget* parent = nullptr);
    ~Hilfe_Form() override;

    // Shows the help window modally over parent, laid out for the given screen preset, and
    // returns when it is hidden again. The window is built on the first call and shown again by
    // every later one.
    static void showModal(const Kern::ScreenScale& screen, QWidget* parent);

    // The help text as it is put into Text1: a leading line break, then the paragraphs with one
    // empty line between them; line breaks are CR LF.
    static QString helpText();

    QGroupBox* Frame1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Form_Activate();
    void cmdOK_Click();

    std::unique_ptr<clsResize> m_resize;
    Kern::ScreenScale m_screen;
};
