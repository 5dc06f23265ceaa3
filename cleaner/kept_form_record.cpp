#include "cleaner/kept_form_record.h"

KeptFormRecord KeptForms;
