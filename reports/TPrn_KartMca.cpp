#include "reports/TPrn_KartMca.h"

// Printing arrives with the report base.
bool TPrn_KartMca::PrintReport()
{
    return false;
}

bool TPrn_KartMca::PreviewReport()
{
    return false;
}
