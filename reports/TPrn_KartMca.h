#pragma once

// The month card report. It will read the month ledger store when printed;
// printing arrives with the report base.
class TPrn_KartMca
{
public:
    TPrn_KartMca() = default;
    TPrn_KartMca(const TPrn_KartMca &) = delete;
    TPrn_KartMca &operator=(const TPrn_KartMca &) = delete;

    // Not printed yet: both answer false and do nothing.
    bool PrintReport();
    bool PreviewReport();
};
