// Creating the month card window (the document table filled, the window laid
// out, not shown) for ledgers of growing length: the cost per document must
// not grow with the count. Ends with 1 when the largest ledger costs more than
// three times the smallest per document.
//
//   bench_monthcard [smallest=1000]   (then ten and a hundred times as many)

#include "bench/common/BenchFigure.h"

#include "account/Account.h"
#include "bench/reports/DemoReportData.h"
#include "service/AccountService.h"

#include "views/TForm_KartMca.h"
#include "views/TFrame_InfoDokTabela.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int smallest = argc > 1 ? std::max(10, atoi(argv[1])) : 1000;
    const std::vector<int> sizes{smallest, smallest * 10, smallest * 100};

    PrintLine("month card window created (document table filled, not shown)\n");
    std::vector<double> perDocument;
    for (int documents : sizes) {
        const DemoReportData data(documents);
        Account account;
        account.Data = data.yearData;
        account.Session = data.session;
        AccountService service(account);
        QElapsedTimer clock;
        clock.start();
        TForm_KartMca card(2020, 3, 2, nullptr, service, data.ledger, AccountState{120.5, 80.25, -40.25});
        const double ms = clock.nsecsElapsed() / 1e6;
        const int rows = card.findChild<TFrame_InfoDokTabela *>()->SG_Dok()->rowCount();
        if (rows != documents) {
            std::fprintf(stderr, "the table has %d rows, not %d\n", rows, documents);
            return 1;
        }
        perDocument.push_back(ms * 1e3 / documents);
        PrintLine("  %8d documents  %9.1f ms  %7.2f us/document\n", documents, ms, perDocument.back());
    }
    if (!PrintScaling("Month card window with its table filled, cost per document", "", sizes, perDocument, 1)) {
        std::fprintf(stderr, "the cost per document grows with the ledger's length\n");
        return 1;
    }
    return 0;
}
