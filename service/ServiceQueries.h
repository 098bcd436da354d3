#pragma once

#include <QtGlobal>

#include <functional>

// The version check at start-up and the three data queries. Each holds the
// wait cursor for its whole run, shows its own message on failure and answers
// true only when the answer has reached its store.

// Asks the service whether this client version may be used (100 yes, 101 an
// update is required). On anything but 100 the user is told why, the
// application is asked to terminate and the answer is false.
bool CheckClientVersion();

// Shows the update-required notice modally. The windows install it; without
// one, an information box says that the application must be updated.
void SetUpdateNoticeHandler(std::function<void()> handler);

// The figures of `year` into the yearly settlement store.
bool QueryYearSettlements(qint32 year);

// The ledger of a category's month into the month ledger store.
bool QueryMonthLedger(qint32 category, qint32 year, qint32 month);

// The details of a charge document into the document details store.
bool QueryDocumentDetails(qint32 documentId, qint32 category, qint32 year);
