// libFuzzer target for the SOAP reader: the first input byte chooses what the
// rest is read as (each answer record, the boolean and text answers, a fault,
// a server-side request). Reading must end in a value or a failure, never in a
// crash, a hang or a sanitizer report.
//
//   CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DDOMVEL_FUZZ=ON -DDOMVEL_SANITIZE=ON
//   ninja -C build-asan fuzz_answer_reader
//   mkdir -p /tmp/corpus
//   build-asan/fuzz/service/fuzz_answer_reader -max_total_time=60 /tmp/corpus fuzz/service/corpus

#include "protocol/SoapCodec.h"

#include <cstddef>
#include <cstdint>

namespace {

template<typename Result>
void readAnswer(std::string_view operation, const QByteArray &message)
{
    const ServiceResult<Result> answer = SoapCodec::ReadAnswer<Result>(operation, message);
    if (!answer.ok() && answer.failure().kind != ServiceFailure::Kind::Read
        && answer.failure().kind != ServiceFailure::Kind::Fault)
        __builtin_trap(); // the reader knows no other way to fail
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray message(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    switch (data[0] % 11) {
    case 0: readAnswer<TRemInitialCheck>("ZOKA_WS_InitialCheck", message); break;
    case 1: readAnswer<TRemWymiarOplatGetData>("ZOKA_WS_WymiarOplatGet", message); break;
    case 2: readAnswer<TRemChangePasswordData>("ZOKA_WS_ChangePassword", message); break;
    case 3: readAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", message); break;
    case 4: readAnswer<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet", message); break;
    case 5: readAnswer<TRemKartotekaMcaGetData>("ZOKA_WS_KartotekaMcaGet", message); break;
    case 6: readAnswer<TRemDokDetailsGetData>("ZOKA_WS_DokDetailsGet", message); break;
    case 7: readAnswer<bool>("ZOKA_WS_Logout", message); break;
    case 8: readAnswer<QString>("ZOKA_WS_SessionRenew", message); break;
    case 9: SoapCodec::ReadFault(message); break;
    default: SoapCodec::ReadRequest(message); break;
    }
    return 0;
}
