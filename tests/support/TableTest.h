// Table tests, in the manner of Qt's _data() rows: a const array of rows (tuples) and one
// test over them, each row named after its first field.
#ifndef RG_TESTS_TABLETEST_H
#define RG_TESTS_TABLETEST_H

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>

template <class Row> using Table = testing::TestWithParam<Row>;

// The row's first field as written (a text without its quotes), other characters than
// letters and digits as '_', then the row's index.
inline const auto RowName = [](const auto& info) {
    std::string name = testing::PrintToString(std::get<0>(info.param));
    const size_t quote = name.find('"');
    if (quote != std::string::npos && name.rfind('"') > quote)
        name = name.substr(quote + 1, name.rfind('"') - quote - 1);
    name = name.substr(0, 40);
    for (char& c : name)
        c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + "_" + std::to_string(info.index);
};

// Suite is Fixture (Table, or a fixture template of the same shape) over the rows of the
// array rows; the body follows as the body of a TEST_P.
#define TABLE_TEST(Fixture, Suite, Name, rows)                                                     \
    using Suite = Fixture<std::decay_t<decltype(*(rows))>>;                                        \
    INSTANTIATE_TEST_SUITE_P(Rows, Suite, testing::ValuesIn(rows), RowName);                       \
    TEST_P(Suite, Name)

#endif
