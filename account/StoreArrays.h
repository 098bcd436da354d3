#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <tuple>
#include <type_traits>

// The stores keep the arrays of an answer under the answer's own names. Each
// store lists its arrays once (`static constexpr auto Arrays()`, fields in the
// form of the answer records); one routine copies every one of them from any
// answer record that carries arrays of the same names and types.

namespace StoreArraysDetail {

template<typename F>
struct FieldValue;
template<typename R, typename T>
struct FieldValue<Field<R, T>>
{
    using type = T;
};
template<typename F>
using FieldValueT = typename FieldValue<std::remove_cvref_t<F>>::type;

// How many fields of Record carry the store field's name and type.
template<typename Record, typename StoreField>
constexpr int SourceCount(const StoreField &storeField)
{
    int count = 0;
    ForEachField<Record>([&](const auto &recordField) {
        if constexpr (std::is_same_v<FieldValueT<decltype(recordField)>, FieldValueT<StoreField>>) {
            if (recordField.name == storeField.name)
                ++count;
        }
    });
    return count;
}

} // namespace StoreArraysDetail

// True when every array of the store has exactly one source in the record.
// Checked at compile time where a store loads from a record.
template<typename Store, typename Record>
constexpr bool EveryArrayHasSource()
{
    return std::apply(
        [](const auto &...storeField) { return ((StoreArraysDetail::SourceCount<Record>(storeField) == 1) && ...); },
        Store::Arrays());
}

// Gives each array of the store a private copy of the record's array of the
// same name, element by element, in the delivered length.
template<typename Store, typename Record>
void CopyArrays(Store &store, const Record &record)
{
    static_assert(EveryArrayHasSource<Store, Record>(), "every array of the store needs a source in the record");
    std::apply(
        [&](const auto &...storeField) {
            auto copyOne = [&](const auto &target) {
                using List = StoreArraysDetail::FieldValueT<decltype(target)>;
                ForEachField<Record>([&](const auto &source) {
                    if constexpr (std::is_same_v<StoreArraysDetail::FieldValueT<decltype(source)>, List>) {
                        if (source.name == target.name) {
                            const List &from = record.*(source.member);
                            store.*(target.member) = List(from.cbegin(), from.cend());
                        }
                    }
                });
            };
            (copyOne(storeField), ...);
        },
        Store::Arrays());
}

// One entry of a store's array list.
#define DOMVEL_STORE_ARRAY(Store, name)                                                                                \
    Field                                                                                                              \
    {                                                                                                                  \
        std::string_view(#name), &Store::name                                                                          \
    }
