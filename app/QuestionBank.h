// The fixed bank of the test: 60 questions, each with four answers and the number of the right
// one. Every run asks them in this order, with the answers in this order.
#pragma once

namespace Zerlo {

// One question: its text, the answers a) to d) in screen order, and the number (1..4) of the
// right answer. All texts are plain ASCII, accents written as an apostrophe after the vowel.
struct QuestionEntry {
    const char* question;
    const char* answers[4];
    int right;
};

inline constexpr int QuestionCount = 60;

// Entry k-1 is question k. The strings have static storage: the form keeps pointers to them.
extern const QuestionEntry QuestionBank[QuestionCount];

}  // namespace Zerlo
