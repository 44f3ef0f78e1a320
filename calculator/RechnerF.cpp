#include "RechnerF.h"

#include "captionbutton.h"
#include "clsResize.h"
#include "conversionlabel.h"
#include "germanformat.h"
#include "kern.h"
#include "tapelist.h"
#include "tapeprinter.h"
#include "twips.h"
#include "updowncontrol.h"
#include "windowplacement.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>

#include <algorithm>

namespace {

// Design layout in twips: the client area below the menu bar, and the window's outer size and
// place at scale 1 (the screen presets multiply these).
constexpr int ClientWidth = 4200;
constexpr int ClientHeight = 5655;
constexpr double BaseWidth = 4290;
constexpr double BaseHeight = 6435;
constexpr double BaseLeft = 4005;
constexpr double BaseTop = 1605;

} // namespace

RechnerF::RechnerF(const Kern::ScreenScale& screen, QWidget* parent)
    : QDialog(parent), m_engine(this), m_screen(screen) {
    setObjectName(QStringLiteral("RechnerF"));
    setWindowTitle(QStringLiteral("Rechner"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    m_menuBar = new QMenuBar(this);
    MDrucken = m_menuBar->addAction(QStringLiteral("&Drucken"));
    MDrucken->setObjectName(QStringLiteral("MDrucken"));
    MInfo = m_menuBar->addAction(QStringLiteral("&Info"));
    MInfo->setObjectName(QStringLiteral("MInfo"));
    connect(MDrucken, &QAction::triggered, this, &RechnerF::MDrucken_Click);
    connect(MInfo, &QAction::triggered, this, &RechnerF::MInfo_Click);

    m_client = new QWidget(this);
    QPalette teal = m_client->palette();
    teal.setColor(QPalette::Window, QColor(0, 128, 128));
    m_client->setPalette(teal);
    m_client->setAutoFillBackground(true);

    buildControls();

    setFixedSize(Twips::toPx(ClientWidth, this),
                 Twips::toPx(ClientHeight, this) + m_menuBar->sizeHint().height());

    // Every typed character reaches the calculator before the control that has the focus.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

RechnerF::~RechnerF() = default;

void RechnerF::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    m_client->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
}

bool RechnerF::event(QEvent* e) {
    const bool result = QDialog::event(e);
    // Opened and placed as it is shown, before the window manager maps it, rather than when it
    // is first activated, which comes at a different moment on every opening.
    if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate)
        Form_Activate();
    return result;
}

void RechnerF::Form_Activate() {
    if (m_opened)
        return;
    m_opened = true;
    m_engine.open();
    m_resize = std::make_unique<clsResize>();
    m_resize->oForm(this);
    m_resize->Initialize();
    // Placed again once the window manager has framed the window, which it does after mapping.
    WindowPlacement::keep(this, [this] { PlaceWindow(); });
}

void RechnerF::PlaceWindow() {
    const Kern::ScreenScale scale = Kern::PresetScale(m_screen.preset, m_screen);
    // The border is fixed for the user; the window keeps a fixed size at the preset's.
    Twips::setOuterWidth(this, BaseWidth * scale.x);
    Twips::setOuterHeight(this, BaseHeight * scale.y);
    Twips::setOuterPos(this, BaseLeft * scale.x, BaseTop * scale.y);
    m_resize->DoResize();
}

bool RechnerF::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, e);
    auto* ke = static_cast<QKeyEvent*>(e);
    // Tab moves the focus and the access keys (Alt+letter) work as everywhere else.
    if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int key = ke->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || ke->text().isEmpty())
        return false;
    Form_Activate();

    if (key == Qt::Key_Space) {
        // The space bar presses the focused button as the mouse would, a key button passing its
        // key text; elsewhere the blank goes to HandleKey, which ignores it. Handing the blank
        // to the engine before a conversion button would redraw the display in the typed-entry
        // form (3,5 as 4), which the conversion then converts, and switch "&Switch" off first.
        if (auto* button = qobject_cast<QPushButton*>(watched)) {
            if (button->isEnabled())
                button->click();
        } else {
            m_engine.HandleKey(ke->text());
        }
        return true;
    }
    for (const QChar c : ke->text())
        m_engine.HandleKey(QString(c));
    // The focus now sits on "=", so Enter works that key.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
    }
    return true;
}

CalculatorEngine& RechnerF::engine() {
    Form_Activate();
    return m_engine;
}

void RechnerF::Taste_Click(const QString& keyText) {
    engine().HandleKey(keyText);
}

void RechnerF::DMEURO_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_engine.state().conversionResult);
    accept();
}

void RechnerF::end(bool withTransfer) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (withTransfer)
        clipboard->setText(Kern::plainNumberText(m_engine.state().displayValue));
    accept();
}

void RechnerF::MDrucken_Click() {
    const QStringList& lines = m_engine.tape().lines();
    if (std::none_of(lines.cbegin(), lines.cend(),
                     [](const QString& line) { return !line.trimmed().isEmpty(); }))
        return;
    std::unique_ptr<QPrinter> printer =
        m_printerFactory ? m_printerFactory() : TapePrinter::defaultPrinter();
    if (!printer || !TapePrinter::print(*printer, lines))
        showMessage(QStringLiteral("Der Druck konnte nicht ausgeführt werden."),
                    QStringLiteral("Drucken"), MessageButtons::Ok);
}

void RechnerF::MInfo_Click() {
    showMessage(QStringLiteral("Copyright © 2014 Schotterfix"),
                QStringLiteral("Info zum Taschenrechner"), MessageButtons::Ok);
}

void RechnerF::UpDown1_Change() {
    m_engine.setDecimalPlaces(UpDown1->value());
    Komma->setText(QString::number(m_engine.state().decimalPlaces));
}

// CalculatorView on the controls

void RechnerF::showDisplay(const QString& text) {
    Ausgabe->setText(text);
    // A screen reader would spell out the padding.
    Ausgabe->setAccessibleName(text.trimmed());
}

void RechnerF::showConversionField(const QString& caption) {
    DMEURO->setText(caption);
}

void RechnerF::setSwitchEnabled(bool enabled) {
    DM_Euro[2]->setEnabled(enabled);
}

void RechnerF::focusEqualsKey() {
    Operator[5]->setFocus();
}

void RechnerF::selectLastTapeLine() {
    Bon->setCurrentRow(Bon->count() - 1);
}

void RechnerF::showMessage(const QString& text, const QString& title, MessageButtons buttons) {
    QMessageBox box(QMessageBox::Information, title, text,
                    buttons == MessageButtons::Ok ? QMessageBox::Ok
                                                  : QMessageBox::Ok | QMessageBox::Cancel,
                    this);
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        cancel->setText(QStringLiteral("Abbrechen"));
    box.exec();
}
