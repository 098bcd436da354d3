#include "reports/TPrn_NalCzynszDtl.h"

// Printing arrives with the report base.
bool TPrn_NalCzynszDtl::PrintReport()
{
    return false;
}

bool TPrn_NalCzynszDtl::PreviewReport()
{
    return false;
}
