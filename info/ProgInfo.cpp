#include "ProgInfo.h"

#include "programicon.h"
#include "sfx_version.h"
#include "sysinfo.h"
#include "twips.h"
#include "windowplacement.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace {

constexpr double ClientWidth = 8205;
constexpr double ClientHeight = 5100;

using Twips::place;

QLabel* makeLabel(QWidget* parent, const char* name, double pointSize) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(pointSize);
    label->setFont(font);
    return label;
}

bool startProgram(const QString& path) {
    return !path.isEmpty() && QProcess::startDetached(path, {});
}

} // namespace

ProgInfo::ProgInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ProgInfo"));
    setModal(true);
    setFixedSize(Twips::toPx(ClientWidth, this), Twips::toPx(ClientHeight, this));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 30, 30, 4005, 4605);
    lblTitle = makeLabel(Frame1, "lblTitle", 18);
    place(lblTitle, 90, 180, 3825, 495);
    Image1 = new QLabel(Frame1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(
        QStringLiteral("Programmbild: Gleis mit Schwellen über einem Maßstab"));
    Image1->setAlignment(Qt::AlignCenter);
    place(Image1, 90, 750, 3825, 3765);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    place(Frame2, 4080, 30, 4095, 4605);
    lblVersion = makeLabel(Frame2, "lblVersion", 8.25);
    place(lblVersion, 90, 210, 3915, 2115);
    lblDescription = makeLabel(Frame2, "lblDescription", 8.25);
    place(lblDescription, 90, 2400, 3915, 2115);

    cmdSysInfo = new QPushButton(QStringLiteral("&System-Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    place(cmdSysInfo, 5520, 4710, 1275, 345);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 6900, 4710, 1275, 345);
    // Enter presses the default button; Esc rejects the dialog, which closes it the same way.
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    connect(cmdSysInfo, &QPushButton::clicked, this, &ProgInfo::cmdSysInfo_Click);
    connect(cmdOK, &QPushButton::clicked, this, &ProgInfo::cmdOK_Click);

    Form_Load();
}

void ProgInfo::Form_Load() {
    const QString crlf = QStringLiteral("\r\n");
    setWindowTitle(Info::ApplicationTitle + QStringLiteral("-Info"));
    setWindowIcon(Info::programIcon());

    lblVersion->setText(crlf.repeated(3) +
                        QStringLiteral("Version 03.2014  Stand %1.%2.%3")
                            .arg(SFX_VERSION_MAJOR)
                            .arg(SFX_VERSION_MINOR)
                            .arg(SFX_VERSION_PATCH) +
                        crlf.repeated(4) + QStringLiteral("Copyright © 2014 Schotterfix"));
    lblTitle->setText(Info::ApplicationTitle);
    lblDescription->setText(crlf.repeated(2) + QStringLiteral("Entwicklung und Vertrieb") +
                            crlf.repeated(2) + QStringLiteral("Schotterfix Modellbahn-Software") +
                            crlf + QStringLiteral("Am Gleisdreieck 7") + crlf +
                            QStringLiteral("12345 Musterstadt") + crlf + crlf +
                            QStringLiteral("E-Mail: info@schotterfix.example"));

    const QPixmap picture = Info::programPixmap();
    const QSize room = Image1->size();
    Image1->setPixmap(picture.width() > room.width() || picture.height() > room.height()
                          ? picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                          : picture);
}

void ProgInfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Centred on the screen rather than over the main window, frame included: centred again once
    // the window manager has put its frame around it.
    WindowPlacement::keep(this, [this] {
        const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
        if (screen)
            WindowPlacement::centreIn(this, screen->availableGeometry());
    });
}

void ProgInfo::StartSysInfo() {
    using SysInfo::HKey;
    QString path;
    bool started = false;
    if (SysInfo::GetKeyValue(HKey::LocalMachine, SysInfo::MsInfoKey, SysInfo::MsInfoValue, path)) {
        started = startProgram(path);
    } else if (SysInfo::GetKeyValue(HKey::LocalMachine, SysInfo::SharedToolsKey,
                                    SysInfo::SharedToolsValue, path)) {
        const QString file = QDir(path).filePath(SysInfo::SharedToolFile);
        if (QFileInfo(file).isFile())
            started = startProgram(file);
    }
    if (!started) {
        QMessageBox box(QMessageBox::NoIcon, Info::ApplicationTitle,
                        QStringLiteral("System-Informationen sind augenblicklich nicht "
                                       "verfügbar."),
                        QMessageBox::Ok, this);
        box.exec();
    }
}

void ProgInfo::cmdSysInfo_Click() {
    StartSysInfo();
}

void ProgInfo::cmdOK_Click() {
    accept();
}
