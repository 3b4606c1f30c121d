#pragma once

#include <tuple>

#include "ajson/record.hpp"

// Declares a record to the codec, at global namespace scope, followed by ";":
//   AJSON(LCD::ProtoModel::s_RGB, R, G, B);
// The stringized member list ("R, G, B") is the field list: the n-th name is
// the JSON key of the n-th listed member and the writing order.
#define AJSON(TYPE, ...)                                                                                  \
  template <>                                                                                             \
  struct ajson::json_impl<TYPE> : ::ajson::detail::record_impl<TYPE, ::ajson::json_impl<TYPE>> {          \
    static constexpr const char* field_list_text() { return #__VA_ARGS__; }                               \
    static constexpr auto members() { return std::make_tuple(AJSON_MEMBER_POINTERS(TYPE, __VA_ARGS__)); } \
  }

// The same for a class template of one type parameter, for every argument:
//   AJSON_TEMPLATE(LCD::ProtoModel::s_response, code, message, data);
#define AJSON_TEMPLATE(TEMPLATE, ...)                                                                  \
  template <typename AjsonParam>                                                                       \
  struct ajson::json_impl<TEMPLATE<AjsonParam>>                                                        \
      : ::ajson::detail::record_impl<TEMPLATE<AjsonParam>, ::ajson::json_impl<TEMPLATE<AjsonParam>>> { \
    static constexpr const char* field_list_text() { return #__VA_ARGS__; }                            \
    static constexpr auto members() {                                                                  \
      return std::make_tuple(AJSON_MEMBER_POINTERS(TEMPLATE<AjsonParam>, __VA_ARGS__));                \
    }                                                                                                  \
  }

// &TYPE::m for each listed member m, up to 32 members.
#define AJSON_MEMBER_POINTERS(TYPE, ...) \
  AJSON_PP_CAT(AJSON_PP_MEMBER_POINTERS_, AJSON_PP_COUNT(__VA_ARGS__))(TYPE, __VA_ARGS__)
#define AJSON_PP_CAT(a, b) AJSON_PP_CAT_(a, b)
#define AJSON_PP_CAT_(a, b) a##b
#define AJSON_PP_COUNT(...)                                                                                            \
  AJSON_PP_COUNT_(__VA_ARGS__, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, \
                  10, 9, 8, 7, 6, 5, 4, 3, 2, 1)
#define AJSON_PP_COUNT_(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, _13, _14, _15, _16, _17, _18, _19, _20, \
                        _21, _22, _23, _24, _25, _26, _27, _28, _29, _30, _31, _32, N, ...)                        \
  N
#define AJSON_PP_MEMBER_POINTERS_1(T, m) &T::m
#define AJSON_PP_MEMBER_POINTERS_2(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_1(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_3(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_2(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_4(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_3(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_5(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_4(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_6(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_5(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_7(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_6(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_8(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_7(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_9(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_8(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_10(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_9(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_11(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_10(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_12(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_11(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_13(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_12(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_14(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_13(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_15(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_14(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_16(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_15(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_17(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_16(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_18(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_17(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_19(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_18(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_20(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_19(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_21(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_20(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_22(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_21(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_23(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_22(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_24(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_23(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_25(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_24(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_26(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_25(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_27(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_26(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_28(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_27(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_29(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_28(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_30(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_29(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_31(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_30(T, __VA_ARGS__)
#define AJSON_PP_MEMBER_POINTERS_32(T, m, ...) &T::m, AJSON_PP_MEMBER_POINTERS_31(T, __VA_ARGS__)
