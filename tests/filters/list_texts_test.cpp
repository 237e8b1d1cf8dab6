#include "filters/list_texts.h"
#include "machines.h"

#include <gtest/gtest.h>

using namespace orvel;
using namespace orvel::test;

TEST(ListTexts, CellsShowTitleWithHeartForFavouritesManufacturerAndYear) {
    Machine m = machine("pacman", "Pac-Man");
    m.manufacturer = "Namco";
    m.year = "1980";
    EXPECT_EQ(title_cell(m), "Pac-Man");
    set_favourite(m);
    EXPECT_EQ(title_cell(m), "\xE2\x99\xA5 Pac-Man");
    EXPECT_EQ(m.description, "Pac-Man");
    EXPECT_EQ(cell_text(m, column_manufacturer), "Namco");
    EXPECT_EQ(cell_text(m, column_year), "1980");
    EXPECT_EQ(cell_text(m, 3), "");
}

TEST(ListTexts, StatusBarDescribesTheListAndTheCurrentMachine) {
    MachineList ms(40000);
    ms[7] = machine("galaga", "Galaga");
    ms[7].isavailable = true;
    ms[7].driver_status = "good";
    ViewList view(12, 7);
    StatusTexts s = status_texts(ms, view, 7);
    EXPECT_EQ(s.fields[0], "Showing: 12 of 40000");
    EXPECT_EQ(s.fields[1], "Driver: galaga");
    EXPECT_EQ(s.fields[2], "Available: Yes");
    EXPECT_EQ(s.fields[3], "Parent Set");
    EXPECT_EQ(s.fields[4], "");
    EXPECT_EQ(s.fields[5], "Status: ");
    EXPECT_EQ(s.image, StatusImage::Good);

    ms[7].cloneof = "galagao";
    ms[7].isavailable = false;
    ms[7].driver_status = "";
    s = status_texts(ms, view, 7);
    EXPECT_EQ(s.fields[2], "Available: ");
    EXPECT_EQ(s.fields[3], "Clone Of: galagao");
    EXPECT_EQ(s.image, StatusImage::Unchanged);
    ms[7].driver_status = "imperfect";
    EXPECT_EQ(status_texts(ms, view, 7).image, StatusImage::Imperfect);

    s = status_texts(ms, {}, -1);
    EXPECT_EQ(s.fields[0], "Showing: 0 of 40000");
    EXPECT_EQ(s.fields[1], "Driver: N/A");
    EXPECT_EQ(s.fields[2], "Available: N/A");
    EXPECT_EQ(s.fields[3], "Set Type: N/A");
    EXPECT_EQ(s.image, StatusImage::Preliminary);
    EXPECT_EQ(status_texts(ms, view, 40000).fields[1], "Driver: N/A");
}
