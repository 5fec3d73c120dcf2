#include "tools/listing_site/programme_maker.h"

#include "tools/listing_site/random.h"

#include <algorithm>
#include <vector>

namespace listing_site {

namespace {

using Words = std::vector<std::string_view>;

const Words kNouns = {"海",   "約束", "星空", "夏祭り", "鉄道", "商店街", "灯台",   "雪国",
                      "桜",   "台所", "港町", "名探偵", "侍",   "宇宙船", "図書館", "花火",
                      "温泉", "古都", "峠",   "家族",   "風鈴", "坂道",   "時計台", "渡り鳥"};
const Words kPeople = {"佐藤健一",   "鈴木花子", "高橋誠",     "田中美咲", "伊藤大輔",
                       "渡辺久美子", "山本翔太", "中村あゆみ", "小林直樹", "加藤由紀"};
const Words kFoods = {"肉じゃが", "鯖の味噌煮", "茶碗蒸し", "天ぷら", "おでん", "親子丼", "筑前煮"};
const Words kSports = {"プロ野球",     "Ｊリーグ", "大相撲",
                       "高校ラグビー", "駅伝",     "フィギュアスケート"};

// One genre: title and description patterns and the lengths its programmes come in.
// Patterns use {noun}, {noun2}, {person}, {person2}, {food}, {sport}, {region} and {n}.
struct CGenre
{
    Words titles;
    Words descriptions;
    std::vector<int> lengths;
};

const std::vector<CGenre> kGenres = {
    {{"ニュース", "おはよう{region}", "{region}ニュース＆天気", "ニュース・気象情報",
      "ﾆｭｰｽ ｱﾝﾄﾞ ｽﾎﾟｰﾂ"},
     {"国内外の最新ニュースと{region}の天気。",
      "きょうの出来事を詳しく伝える。キャスター：{person}"},
     {10, 15, 30, 60}},
    {{"連続ドラマ「{noun}の{noun2}」第{n}話", "ドラマ特別編「{noun}」", "時代劇「{noun}の侍」"},
     {"{noun}をめぐる人々の物語。出演：{person}、{person2}",
      "{person}が演じる主人公が{noun}に挑む。"},
     {54, 60}},
    {{"ｱﾆﾒ「{noun}の{noun2}」#{n}", "アニメ　{noun}探偵団"},
     {"{noun}を舞台にした冒険アニメ。声：{person}", "第{n}話。{noun2}に隠された謎とは？"},
     {30}},
    {{"映画「{noun}と{noun2}」", "金曜ロードシアター「{noun}」"},
     {"{noun}を舞台に描く感動作。出演：{person}、{person2}",
      "（字幕版）{person}主演の話題作を放送。"},
     {114, 120}},
    {{"ミュージック&トーク「{noun}」", "クイズ！{noun}の達人",
      "{region}ぶらり旅～{noun}をたずねて～"},
     {"ゲスト：{person}。{noun}にまつわるトークと歌。", "{region}の{noun}を{person}が訪ねる。"},
     {54, 60, 90}},
    {{"きょうの料理「{food}」", "３分クッキング　{food}"},
     {"家庭でできる{food}のコツを紹介。講師：{person}", "旬の食材で作る{food}。"},
     {15, 25}},
    {{"{sport}中継", "{sport}ハイライト", "スポーツ&ニュース"},
     {"{sport}の熱戦を生中継。解説：{person}", "きょうの{sport}の結果を詳しく。"},
     {60, 120, 180}},
    {{"ドキュメント「{noun}」", "{region}の{noun}物語"},
     {"{noun}とともに生きる人々を追った。語り：{person}", "{region}に残る{noun}の記憶をたどる。"},
     {30, 50, 60}},
};

std::string Fill(std::string_view pattern, CRandom& random, std::string_view region)
{
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const std::size_t open = pattern.find('{', i);
        const std::size_t close = open == std::string_view::npos ? open : pattern.find('}', open);
        if (close == std::string_view::npos) {
            out.append(pattern.substr(i));
            break;
        }
        out.append(pattern.substr(i, open - i));
        const std::string_view token = pattern.substr(open + 1, close - open - 1);
        if (token == "noun" || token == "noun2")
            out.append(random.Pick(kNouns));
        else if (token == "person" || token == "person2")
            out.append(random.Pick(kPeople));
        else if (token == "food")
            out.append(random.Pick(kFoods));
        else if (token == "sport")
            out.append(random.Pick(kSports));
        else if (token == "region")
            out.append(region);
        else if (token == "n")
            out.append(std::to_string(1 + random.Below(12)));
        i = close + 1;
    }
    return out;
}

} // namespace

CProgrammeText MakeProgramme(CRandom& random, std::string_view region, int minutesLeft)
{
    const CGenre& genre = random.Pick(kGenres);
    CProgrammeText text;
    text.minutes = std::min(random.Pick(genre.lengths), minutesLeft);
    text.title = Fill(random.Pick(genre.titles), random, region);
    text.description = Fill(random.Pick(genre.descriptions), random, region);
    return text;
}

} // namespace listing_site
