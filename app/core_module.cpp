// The core module (see core_module.h): a live core that owns its history store.
#include "core_module.h"

#include "alarm/alarm_deliveries.h"
#include "history/history_store.h"
#include "live/country_file_reading.h"
#include "live/grid_memory_file.h"
#include "live/live_core.h"
#include "review/review_engine.h"

#include <memory>

namespace ionvane::app {

namespace {

// Made before the core and gone after it, as a base class: the core records into it to the end.
struct StoreHolder {
    std::unique_ptr<history::HistoryStore> OwnStore;
};

class StoredCore : private StoreHolder, public live::LiveCore {
  public:
    StoredCore(live::CoreSetup setup, std::unique_ptr<history::HistoryStore> store)
        : StoreHolder{std::move(store)}, live::LiveCore(std::move(setup)) {}

    // The store is taken at the first restore, once the front end listens: what went wrong in
    // opening it is told to someone.
    std::size_t Restore() override {
        if (!StoreTaken) {
            StoreTaken = true;
            UseStore(OwnStore.get());
        }
        return live::LiveCore::Restore();
    }

  private:
    bool StoreTaken = false;
};

} // namespace

} // namespace ionvane::app

extern "C" Q_DECL_EXPORT ionvane::live::CoreControl *
ionvane_open_live_core(ionvane::live::CoreSetup setup) {
    using namespace ionvane;
    auto store = std::make_unique<history::HistoryStore>(history::HistoryStore::DefaultPath(),
                                                         setup.NowUtc());
    // Calls without locators are placed by the installed country file, if it can be read, and by
    // the grid memory kept beside the store.
    setup.Countries = live::ReadCountryFile(live::DefaultCountryFile).File;
    setup.GridMemoryFile = live::GridMemoryPath(history::HistoryStore::DefaultPath());
    return new app::StoredCore(std::move(setup), std::move(store));
}

extern "C" Q_DECL_EXPORT ionvane::alarm::OutletControl *
ionvane_open_alarm_outlets(const ionvane::alarm::DeliverySettings &settings) {
    using namespace ionvane;
    return new alarm::AlarmDeliveries(settings, alarm::RotatorClock::System());
}

extern "C" Q_DECL_EXPORT ionvane::review::ReviewControl *
ionvane_open_review(ionvane::review::ReviewSetup setup) {
    using namespace ionvane;
    setup.Countries = live::ReadCountryFile(live::DefaultCountryFile).File;
    return new review::ReviewEngine(std::move(setup), history::HistoryStore::DefaultPath());
}
