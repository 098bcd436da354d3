#include "common/Errors.h"

IndexError::IndexError(qsizetype index, qsizetype size)
    : AppError(QStringLiteral("Indeks %1 poza zakresem listy (liczba elementów: %2).").arg(index).arg(size))
{
}
