// The information window's audit panel: the machine's ROMs with what was found, off the window
// thread, and the verdict kept in the record and the results file.
#include "audit/audit_results.h"
#include "database/listing_build.h"
#include "database/rom_data.h"
#include "gui/rom_audit_panel.h"
#include "platform/files.h"
#include "support/romset_writer.h"
#include "support/scripted_host.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace orvel::gui {
namespace {

TEST(RomAuditPanel, ListsEachRomWithWhatWasFoundAndKeepsTheVerdict) {
    test::TempDir dir;
    Session session;
    AppState& state = session.whole_state();
    state.settings.MAME_Path = dir.path();
    state.settings.ORVEL_Data = dir.file("data/");
    state.mame_paths.rompath = "roms";
    RomData data;
    const std::string xml =
        read_file(test::fixture("audit/listing.xml"), no_size_limit).value_or("");
    ASSERT_TRUE(parse_listing_text(xml, state.machines, &data).ok());
    ASSERT_TRUE(create_folders(state.settings.ORVEL_Data));
    ASSERT_TRUE(save_rom_data(data, rom_data_path(state.settings.ORVEL_Data)).ok());
    ASSERT_TRUE(test::write_zip(dir.file("roms/puckman.zip"), {{"pm1-1.7f", 32, 0x2fc650bd}}));
    const auto puckman = static_cast<std::size_t>(find_machine(state.machines, "puckman"));

    RomAuditPanel panel(session, puckman);
    QSignalSpy shown(&panel, &RomAuditPanel::auditShown);
    panel.start(false);
    ASSERT_TRUE(shown.wait(20000));
    QTreeWidget* list = panel.rom_list();
    ASSERT_EQ(list->topLevelItemCount(), 16);
    bool found_one = false;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        if (item->text(0) != QStringLiteral("pm1-1.7f")) {
            EXPECT_EQ(item->text(1), QStringLiteral("missing"));
            continue;
        }
        found_one = true;
        EXPECT_EQ(item->text(1), QStringLiteral("good"));
        EXPECT_TRUE(item->text(3).endsWith(QStringLiteral("puckman.zip")));
    }
    EXPECT_TRUE(found_one);
    EXPECT_EQ(panel.verdict_label()->text(), QStringLiteral("Verdict: Incomplete"));
    EXPECT_EQ(state.machines[puckman].audit, AuditVerdict::Incomplete);
    MachineList reread = state.machines;
    EXPECT_EQ(load_audit_results(audit_results_path(state.settings.ORVEL_Data), reread), 1u);
}

} // namespace
} // namespace orvel::gui
