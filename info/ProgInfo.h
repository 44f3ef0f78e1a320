#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

// The About window: title, picture, version and maker, and a button that starts the system's
// information tool. Built afresh for every opening: ProgInfo dlg(parent); dlg.exec();
class ProgInfo : public QDialog {
    Q_OBJECT
public:
    explicit ProgInfo(QWidget* parent = nullptr);

    // Starts the system-information tool detached; when there is none or it cannot be started,
    // says so in a message box.
    void StartSysInfo();

    QGroupBox* Frame1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* Image1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void cmdSysInfo_Click();
    void cmdOK_Click();
};
