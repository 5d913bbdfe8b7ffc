// The error and confirmation boxes as a user sees and answers them.
#include "uOvMsg.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorBox, ShowsTheTextOfItsCodeUnderTheCaptionError) {
    TBoxSeen box = AnswerBox([] { ErrorBox(0); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.caption, L"エラー");
    EXPECT_EQ(box.text, L"このページにはファイルを追加できません");

    EXPECT_EQ(AnswerBox([] { ErrorBox(1); }, IDOK).text, L"このページのファイルは削除できません");
    EXPECT_EQ(AnswerBox([] { ErrorBox(2); }, 0).text, L"このページのファイルは変更できません")
        << L"Escape closes it too";
}

TEST(ErrorBox, CodesWithoutATextShowAnEmptyBox) {
    for (int code : {3, 5, 7, 8, -1}) {
        TBoxSeen box = AnswerBox([code] { ErrorBox(code); }, IDOK);
        ASSERT_TRUE(box.seen) << code;
        EXPECT_EQ(box.text, L"") << code;
    }
}

TEST(ConfirmBox, OnlyOkAnswersYes) {
    bool answer = false;
    TBoxSeen box = AnswerBox([&] { answer = ConfirmBox(1); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.caption, L"確認");
    EXPECT_EQ(box.text, L"ページを削除しますか");
    EXPECT_TRUE(answer);

    answer = true;
    AnswerBox([&] { answer = ConfirmBox(2); }, IDCANCEL);
    EXPECT_FALSE(answer) << L"Cancel";
    answer = true;
    box = AnswerBox([&] { answer = ConfirmBox(2); }, 0);
    EXPECT_EQ(box.text, L"選択したファイルを削除しますか");
    EXPECT_FALSE(answer) << L"Escape";
    answer = true;
    AnswerBox([&] { answer = ConfirmBox(1); }, -1);
    EXPECT_FALSE(answer) << L"the close box";
}

TEST(ConfirmBox, OtherCodesAskAnEmptyQuestion) {
    EXPECT_EQ(ConfirmText(0), L"ページを追加しますか");
    TBoxSeen box = AnswerBox([] { ConfirmBox(3); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, L"");
}

} // namespace
