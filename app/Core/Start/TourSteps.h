#pragma once

// Device-shell steps with which the tour reaches what no control reaches yet:
//   open-search       shows a new search page from the top screen, as the home tab's search
//                     button will
//   load-app-config   asks for "v1/app/config" and keeps it as the server configuration, as the
//                     home tab does when it starts
//   open-title <id>   shows the title page of that id from the top screen, as every list does
// Registered once, before the script runs.
void registerTourSteps();
