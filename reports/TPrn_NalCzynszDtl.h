#pragma once

// The charge detail report. It will read the document details store when
// printed; printing arrives with the report base.
class TPrn_NalCzynszDtl
{
public:
    TPrn_NalCzynszDtl() = default;
    TPrn_NalCzynszDtl(const TPrn_NalCzynszDtl &) = delete;
    TPrn_NalCzynszDtl &operator=(const TPrn_NalCzynszDtl &) = delete;

    // Not printed yet: both answer false and do nothing.
    bool PrintReport();
    bool PreviewReport();
};
