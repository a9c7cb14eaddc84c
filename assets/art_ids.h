// Resource identifiers of the program's pictures (shared by the resource script and the windows).
// Bitmaps are 24-bit 32 x 32 unless noted; the ones marked icon are 32 x 32 icons with a mask.
#pragma once

// The table keeps its columns.
// clang-format off

#define ART_APP_ICON        1    // icon: open folders with a large check mark (window icon, About box)

// Progress window scene
#define ART_WHITE_STRIP     100  // 300 x 32 plain white strip (also the About box backdrop)
#define ART_WALK_LEFT_A     101  // walker facing left, step A            (Image2)
#define ART_WALK_LEFT_B     102  // walker facing left, step B            (Image3)
#define ART_STAND_LEFT      103  // walker facing left, standing          (Image4)
#define ART_ROPE_RIGHT_A    104  // walker walking right with the rope, A (Image5)
#define ART_ROPE_RIGHT_B    105  // walker walking right with the rope, B (Image6)
#define ART_ROPE_STAND      106  // walker with the rope, standing        (Image7)
#define ART_FOLDER_DOC      107  // folder holding a document             (ImFolder1, ImFolder2, ImFolderOrg)
#define ART_ROPE_WORK_1     108  // 64 x 32 walker working the rope at the folder (ImFolder12)
#define ART_ROPE_WORK_2     109  // 64 x 32 second frame of the same      (ImFolder13)
#define ART_FOLDER_ROPE     110  // folder with the rope tied on          (ImFolder14)
#define ART_STAND_RIGHT     111  // walker standing, facing right; mirror of ART_STAND_LEFT (ImageOrg)
#define ART_FRONT_STAND     112  // walker standing, facing the viewer    (ImJp1)
#define ART_JUMP            113  // walker jumping for joy                (ImJp2)
#define ART_CRY_1           114  // walker crying, frame 1                (ImNaki1)
#define ART_CRY_2           115  // walker crying, frame 2                (ImNaki2)
#define ART_SWEAT_1         116  // walker with a growing sweat drop, 1..4 (ImAse1..ImAse4)
#define ART_SWEAT_2         117
#define ART_SWEAT_3         118
#define ART_SWEAT_4         119
#define ART_CHECK_ICON      120  // icon: check mark (ImChk1, ImChk2, ImCheck)
#define ART_CROSS_ICON      121  // icon: cross      (ImBatsu)

// About box scene
#define ART_ABOUT_FOLDER_1  130  // folder holding a document             (Image3)
#define ART_ABOUT_FOLDER_2  131  // a second, slightly different folder   (Image2)
#define ART_CHAR_L          132  // the character turned one way          (ImChr, ImChrL)
#define ART_CHAR_R          133  // the character turned the other way    (ImChrR)
// clang-format on
