// The progress window of a run: the animated scene in the top row (the pictures below marked
// "store" are never shown, they only lend their pictures), the two progress groups and the
// Stop / Emergency Exit buttons. Its behaviour is bound from run/.
#pragma once
#include "ui/toolkit/bit_button.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/group_box.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/panel.h"
#include "ui/toolkit/progress_bar.h"

namespace vemo {

class TPBar : public ui::Form {
 public:
  TPBar();

  // Drawn controls, back to front.
  ui::Image ImageWhite;  // backdrop of the scene
  ui::Label Label1;
  ui::Image Image2;       // store: walker facing left, step A
  ui::Image Image3;       // store: walker facing left, step B
  ui::Image Image4;       // store: walker facing left, standing
  ui::Image Image5;       // store: walking right with the rope, step A
  ui::Image Image6;       // store: walking right with the rope, step B
  ui::Image Image7;       // store: with the rope, standing
  ui::Image ImFolder1;    // Folder 1's folder (mouse down / up)
  ui::Image ImFolder2;    // Folder 2's folder
  ui::Image ImFolder12;   // store: working the rope, frame 1 (64 wide)
  ui::Image ImFolder13;   // store: working the rope, frame 2 (64 wide)
  ui::Image ImFolder14;   // store: folder with the rope tied on
  ui::Image ImFolderOrg;  // store: plain folder
  ui::Image Image1;       // the walker
  ui::Image ImageOrg;     // store: standing, facing right
  ui::Image ImChk1;       // mark on Folder 2's folder
  ui::Image ImChk2;       // mark on Folder 1's folder
  ui::Image ImJp1;        // store: standing, facing the viewer
  ui::Image ImJp2;        // store: jumping for joy
  ui::Image ImBatsu;      // store: cross
  ui::Image ImCheck;      // store: check mark
  ui::Image ImNaki1;      // store: crying, frame 1
  ui::Image ImNaki2;      // store: crying, frame 2
  ui::Image ImAse1;       // store: sweat drop, frames 1..4
  ui::Image ImAse2;
  ui::Image ImAse3;
  ui::Image ImAse4;

  // Windowed controls in creation order.
  ui::GroupBox GroupBox1;  // "Entire Process"
  ui::ProgressBar ProgressBar2;
  ui::Panel Panel3;
  ui::GroupBox GroupBox2;  // "Files Now Comparing"
  ui::ProgressBar ProgressBar1;
  ui::Panel Panel1;
  ui::Panel Panel2;
  ui::BitButton Stop;
  ui::BitButton BitBtn2;
};

}  // namespace vemo
