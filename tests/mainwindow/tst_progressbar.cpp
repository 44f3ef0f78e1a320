// The progress bar of a long search in the main window, driven by a search and a clock that the
// test moves on.
#include "accessibility.h"
#include "datarow.h"
#include "kern.h"
#include "kernmain.h"
#include "searchprogressbar.h"
#include "searchrunner.h"
#include "seite1.h"
#include "settings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QtTest>

#include <atomic>

using namespace std::chrono_literals;

class TestProgressBar : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        QFile::remove(Kern::settingsFilePath());
        w = Kern::Main();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        m_now = 0ns;
        m_control = nullptr;
        m_release = false;
        w->searchRunner()->setClock([this] { return m_now.load(); });
        // Runs until the test lets it return or the window stops it; its share of the work done
        // is whatever the test sets.
        w->searchRunner()->setSearchFunction(
            [this](const Kern::SearchRequest&, Kern::SearchControl* control) {
                m_control = control;
                while (!m_release && !control->cancel)
                    QThread::msleep(1);
                if (!control->cancel)
                    control->progress = 1.0;
                return std::vector<Kern::FoundCombination>();
            });
    }

    void cleanup() {
        m_release = true;
        delete w;
        w = nullptr;
    }

    // A search that takes more than half a second shows the share of its work done, then the
    // time still to go once its pace is steady; however it ends, the bar is gone.
    void longSearch_data() {
        dataColumns<QString>({"ending"});
        dataRow("finished", "finished");
        dataRow("start button", "button");
        dataRow("Esc", "Esc");
    }
    void longSearch() {
        QFETCH(QString, ending);
        SearchProgressBar* bar = w->progressBar();
        QCOMPARE(accessibleName(bar), QStringLiteral("Fortschritt der Berechnung"));
        startAndWaitForTheSearch();
        QStringList seen;
        for (const auto& [now, share] :
             {std::pair{400ms, 0.05}, {600ms, 0.1}, {1200ms, 0.2}, {1800ms, 0.3}}) {
            passed(now, share);
            seen << (bar->isVisible() ? QString::number(bar->value()) + ' ' + bar->text() : "-");
        }
        QCOMPARE(seen.join('|'), "-|100 10 %|200 20 %|300 30 % – noch etwa 4 Sek.");

        if (ending == QLatin1String("finished"))
            m_release = true;
        else if (ending == QLatin1String("button"))
            w->startButton()->click();
        else
            QTest::keyClick(w->lengthBox(2), Qt::Key_Escape);
        QTRY_VERIFY(!w->searchRunning());
        QVERIFY(bar->isHidden());
        QVERIFY(w->resultLabel()->text().contains(ending == QLatin1String("finished")
                                                      ? QStringLiteral("(Dauer: 1,")
                                                      : QStringLiteral("(Abgebrochen nach 1,")));
    }

    // A search that returns within half a second shows no bar, also when the window handles its
    // end only after the half second.
    void shortSearch() {
        QSignalSpy shown(w->searchRunner(), &SearchRunner::workProgress);
        startAndWaitForTheSearch();
        passed(300ms, 0.5);
        m_release = true;
        QThread* worker = w->searchRunner()->findChild<QThread*>();
        QVERIFY(worker);
        worker->wait();
        passed(600ms, 1.0);
        QTRY_VERIFY(!w->searchRunning());
        QCOMPARE(shown.count(), 0);
        QVERIFY(w->progressBar()->isHidden());
    }

    // At every screen preset the bar lies inside the window, clear of every other control.
    void clearOfTheOtherControls() {
        QWidget* bar = w->progressBar();
        QWidget* client = bar->parentWidget();
        QStringList clashes;
        for (int preset = 0; preset <= 11; ++preset) {
            w->ApplyScreenPreset(preset);
            const QRect place = bar->geometry();
            if (!client->rect().contains(place))
                clashes << QStringLiteral("%1: outside").arg(preset);
            for (QWidget* other : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (other != bar && !other->objectName().isEmpty() &&
                    other->geometry().intersects(place))
                    clashes << QStringLiteral("%1: %2").arg(preset).arg(other->objectName());
        }
        QCOMPARE(clashes, QStringList());
    }

private:
    void startAndWaitForTheSearch() {
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QVERIFY(w->searchRunning());
        QTRY_VERIFY(m_control.load());
    }

    // The clock shows the time since the start, and the search has done this share of its work.
    void passed(std::chrono::nanoseconds now, double share) {
        m_now = now;
        if (!m_release)
            m_control.load()->progress = share;
        w->searchRunner()->tick();
    }

    Seite1* w = nullptr;
    std::atomic<std::chrono::nanoseconds> m_now{};
    std::atomic<Kern::SearchControl*> m_control{nullptr};
    std::atomic<bool> m_release{false};
};

QTEST_MAIN(TestProgressBar)
#include "tst_progressbar.moc"
