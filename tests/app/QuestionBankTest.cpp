// Properties of the question bank that the screens and the scoring rely on, and the rows of the
// bank that are fixed word for word.
#include "app/QuestionBank.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {

using Zerlo::QuestionBank;
using Zerlo::QuestionCount;
using Zerlo::QuestionEntry;

constexpr std::size_t MaxQuestionLength = 68;  // row 4 from column 4, without wrapping
constexpr std::size_t MaxAnswerLength = 46;

// A text the console prints as it stands: printable 7-bit characters only, no line breaks.
bool IsPrintableAscii(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

TEST(QuestionBankTest, EveryEntryIsCompleteAndPrintable) {
    for (int i = 0; i < QuestionCount; ++i) {
        const QuestionEntry& entry = QuestionBank[i];
        SCOPED_TRACE("entry " + std::to_string(i + 1));

        // A row missing from the table would leave a zero-filled entry at the end.
        ASSERT_NE(entry.question, nullptr);
        EXPECT_GT(std::strlen(entry.question), 0u);
        EXPECT_LE(std::strlen(entry.question), MaxQuestionLength) << entry.question;
        EXPECT_TRUE(IsPrintableAscii(entry.question)) << entry.question;

        for (int a = 0; a < 4; ++a) {
            ASSERT_NE(entry.answers[a], nullptr) << "answer " << a + 1;
            EXPECT_GT(std::strlen(entry.answers[a]), 0u) << "answer " << a + 1;
            EXPECT_LE(std::strlen(entry.answers[a]), MaxAnswerLength) << entry.answers[a];
            EXPECT_TRUE(IsPrintableAscii(entry.answers[a])) << entry.answers[a];
            for (int b = 0; b < a; ++b) {
                EXPECT_STRNE(entry.answers[a], entry.answers[b]) << "answers " << b + 1 << " and " << a + 1;
            }
        }

        EXPECT_GE(entry.right, 1);
        EXPECT_LE(entry.right, 4);
    }
}

TEST(QuestionBankTest, RightAnswersAreSpreadOverTheFourLines) {
    std::array<int, 4> perLine{};
    for (int i = 0; i < QuestionCount; ++i) {
        const int right = QuestionBank[i].right;
        if (right >= 1 && right <= 4) ++perLine[right - 1];
    }
    const std::array<int, 4> expected{19, 17, 13, 11};  // a), b), c), d)
    EXPECT_EQ(perLine, expected);
}

TEST(QuestionBankTest, TenereIsAnAnswerOfEntries6And7) {
    for (const int number : {6, 7}) {
        const QuestionEntry& entry = QuestionBank[number - 1];
        int found = 0;
        for (const char* answer : entry.answers) {
            if (answer != nullptr && std::strcmp(answer, "Tenere") == 0) ++found;
        }
        EXPECT_EQ(found, 1) << "entry " << number;
    }
}

struct FixedRow {
    int number;  // 1-based, as the progress counter shows it
    const char* question;
    const char* answers[4];
    int right;
};

const FixedRow FixedRows[] = {
    {1, "Qual'e' il plurale di \"FRECCIA\"?", {"Frecce", "Freccie", "Frecciate", "Freccine"}, 1},
    {5, "Quale sillaba preposta a VOLO e posposta a USCI forma due parole", {"RE", "BO", "TA", "TE"}, 3},
    {8, "Trovare la parola errata...", {"Adipe", "Scienziato", "Oggetto", "Doppiagio"}, 4},
    {10, "Sommare: -4 +8 -9 +3", {"-2", "2", "-5", "4"}, 1},
    {11, "Completare la serie: 3 4 12 4 5 __", {"17", "23", "15", "20"}, 4},
    {24, "Il nucleo dell'atomo da che cosa e' formato?",
     {"Elettroni e neutroni", "Protoni e neutroni", "Elettroni", "Elettroni, protoni e neutroni"}, 2},
    {29, "QUOTIDIANO sta ad ARTICOLO come POESIA sta a... ", {"Memoria", "Periodo", "Versi", "Capitolo"}, 3},
    {34, "Indicare il participio passato di CONQUIDERE ", {"Conquiduto", "Conquido", "Conquiso", "Non esiste"}, 3},
    {38, "Indicare la parola errata", {"Beneficio", "Coscenzioso", "obliquo", "Oggetto"}, 2},
    {39, "Indicare la parola errata", {"Pensieroso", "Ambito", "Seggiovia", "conportamento"}, 4},
    {55, "Quando si dice una retta tangente ad una circonferenza?",
     {"Quando ha con essa un solo punto in comune", "Quando incontra essa in due punti",
      "Quando coincide con il diametro del cerchio", "Quando coincide con il perimetro del cerchio"},
     1},
    {56, "Quando una retta si dice secante ad una circonferenza?",
     {"Quando non tocca la circonferenza", "Quando passa per due punti della circonferenza",
      "Quando coincide con il raggio", "Quando passa per tre punti della circonferenza"},
     2},
    {60, "Da che cosa deriva il petrolio?",
     {"Prodotti sintetici", "Alghe marine", "Acque stagnanti", "Decomposizione di materiale organico"}, 4},
};

TEST(QuestionBankTest, FixedRowsAreWordForWord) {
    for (const FixedRow& row : FixedRows) {
        SCOPED_TRACE("entry " + std::to_string(row.number));
        const QuestionEntry& entry = QuestionBank[row.number - 1];
        ASSERT_NE(entry.question, nullptr);
        EXPECT_EQ(std::string(entry.question), row.question);
        for (int a = 0; a < 4; ++a) {
            ASSERT_NE(entry.answers[a], nullptr) << "answer " << a + 1;
            EXPECT_EQ(std::string(entry.answers[a]), row.answers[a]) << "answer " << a + 1;
        }
        EXPECT_EQ(entry.right, row.right);
    }
}

}  // namespace
