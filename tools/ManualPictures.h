#pragma once
// The pictures of the user's manual (docs/manual.html): the main window on
// the sample database and the windows the manual shows, each taken as a
// seller sees it, plus the shipping notes of the listed unshipped orders as
// the HTML page the program writes for the last order (shipping-note.htm), for a browser to
// render.
#include <QString>

class OrderForm;

// The main window must hold the sample database (fillSampleDatabase).
void takeManualPictures(OrderForm& window, const QString& folder);
