// Carrying out a clicked picture's page action in the canvas view: open the
// other page beside this one (scrolled where the picture says, this page
// closed when it says so), and reload this page.
#pragma once

class CTeskView;

// result: 12 change page, 13 reload this page, 14 both.
void CarryOutPageAction(CTeskView* view, int result);
