#include "cleaner/run_records.h"

#include "cleaner/erased_form_ids.h"
#include "cleaner/kept_form_record.h"

ListRooms ReserveRunRecords() noexcept {
  if (!ErasedFormIds.ReserveMembership()) return {false, false};
  const bool erased = ErasedFormIds.ReserveWalkOrder();
  return {erased, KeptForms.Reserve()};
}
