#include "watch/character_names.h"

#include "watch/character_table.h"

namespace {

// Each name fits the picture of its CharacterTable row; pairs read left to right, the
// companion first.
const char16* const Names[CHARACTER_COUNT] = {
    U16("なし"),           // bare panel
    U16("ミケ"),           // calico cat
    U16("サクラ"),         // schoolgirl with pink twin tails
    U16("リリィ"),         // apprentice witch
    U16("カスミ"),         // ninja girl
    U16("ミコト"),         // shrine maiden
    U16("ハルト"),         // football boy
    U16("クロエ"),         // gothic girl with a parasol
    U16("ミナ"),           // twin in blue
    U16("ミオ"),           // twin in pink
    U16("ミオとミナ"),     // the twins
    U16("ココ"),           // cat-eared girl in a hoodie
    U16("コハク"),         // fox girl in a kimono
    U16("ウサミ"),         // bunny-eared girl
    U16("アリシア"),       // young knight
    U16("アイリ"),         // idol singer
    U16("ヴィオラ"),       // little vampire
    U16("ヒナタ"),         // sunny sister
    U16("ツクヨ"),         // moonlit sister
    U16("ヒナタとツクヨ"), // the sisters
    U16("カエデ"),         // Sakura's senior
    U16("カエデとサクラ"), // senior and junior
    U16("マリン"),         // pirate captain
    U16("エルナ"),         // elf archer
    U16("フェリ"),         // flower fairy
    U16("モフ"),           // round fluffball
    U16("セラ"),           // angel
    U16("ノワール"),       // little demon queen
    U16("クロード"),       // butler
    U16("エリカ"),         // young lady
};

} // namespace

const char16* characterName(int index) {
    if (index < 0 || index >= CHARACTER_COUNT) return nullptr;
    return Names[index];
}
