// What the window says of a running search's progress, from the times and shares it sees.
#include "datarow.h"
#include "searchprogress.h"

#include <QtTest>

class TestSearchProgress : public QObject {
    Q_OBJECT
private slots:
    // samples: "milliseconds:share" in the order seen, "reset" where a new search starts; shown:
    // the bar's text, empty when hidden.
    void progressText_data() {
        dataColumns<QString, QString>({"samples", "shown"});
        dataRow("under half a second nothing shows", "100:0.1 499:0.5", "");
        dataRow("after half a second the share shows", "100:0.01 600:0.1", "10 %");
        dataRow("a share held a hair too small is not cut down", "600:0.29", "29 %");
        dataRow("a steady pace gives the time to go", "600:0.1 900:0.15 1200:0.2",
                "20 % – noch etwa 5 Sek.");
        dataRow("half a second of pace is too little", "600:0.1 900:0.15 1099:0.19", "19 %");
        dataRow("a pace that changes gives none", "600:0.1 900:0.4 1200:0.42", "42 %");
        dataRow("a stalled share gives none", "600:0.2 1000:0.2 1400:0.2", "20 %");
        dataRow("an early pace is forgotten after a second",
                "600:0.1 900:0.3 1200:0.4 1500:0.5 1800:0.6 2100:0.7", "70 % – noch etwa 1 Sek.");
        dataRow("long waits in minutes", "600:0.005 1200:0.01 1800:0.015",
                "1 % – noch etwa 2 Min.");
        dataRow("a falling or odd share keeps the last one", "600:0.3 700:0.1 800:nan", "30 %");
        dataRow("a share beyond the whole is all of it", "600:0.3 700:7", "100 %");
        dataRow("the same moment twice counts once", "600:0.1 600:0.5", "10 %");
        dataRow("a new search starts hidden", "600:0.1 900:0.2 reset 100:0.05", "");
        dataRow("a new search forgets share and pace", "600:0.1 1200:0.2 1800:0.3 reset 600:0.01",
                "1 %");
    }
    void progressText() {
        QFETCH(QString, samples);
        QFETCH(QString, shown);
        SearchProgress progress;
        for (const QString& sample : samples.split(QLatin1Char(' '))) {
            if (sample == QLatin1String("reset")) {
                progress.reset();
                continue;
            }
            const QStringList parts = sample.split(QLatin1Char(':'));
            progress.update(SearchProgress::Milliseconds(parts.at(0).toLongLong()),
                            parts.at(1).toDouble());
        }
        QCOMPARE(progress.visible() ? progress.text() : QString(), shown);
    }
};

QTEST_GUILESS_MAIN(TestSearchProgress)
#include "tst_searchprogress.moc"
