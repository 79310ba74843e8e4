/* Never compiled: the preprocessor's input from which the build makes
 * driverwyr_c.json, the description of the C interface (see
 * cmake/describe_c_interface.py). Every function that driverwyr/driverwyr_c.h
 * declares, every field of the record table and every item of the program
 * creation dialog comes out as one call of a describe_... marker with its
 * parts as strings and numbers. */
#define DRIVERWYR_C_FUNCTION(Result, Name, Parameters, Contract) \
  describe_function(#Name, #Result, #Parameters, Contract);
#include "driverwyr/driverwyr_c.h"

#define DRIVERWYR_C_SCALAR(R, Stem, GetType, SetType, Setter) \
  describe_field(#R, "scalar", #Stem, #GetType, #SetType, #Setter, "", "");
#define DRIVERWYR_C_CONVERTED(R, Stem, GetType, SetType, Setter) \
  describe_field(#R, "converted", #Stem, #GetType, #SetType, #Setter, "", "");
#define DRIVERWYR_C_STRING(R, Stem, Setter) \
  describe_field(#R, "string", #Stem, "char", "char", #Setter, "", "");
#define DRIVERWYR_C_ARRAY(R, Stem, Elem, Rows, Inner, Setter) \
  describe_field(#R, "array", #Stem, #Elem, #Elem, #Setter, #Rows, #Inner);
#define DRIVERWYR_C_FIELDLESS(R, Setter, SetType) \
  describe_field(#R, "fieldless", "", "", #SetType, #Setter, "", "");
#include "driverwyr/driverwyr_c_fields.h"

#define DESCRIBE_RECORD_(R, Fields, Fieldless) describe_record(#R);
DRIVERWYR_RECORDS(DESCRIBE_RECORD_)

#define DESCRIBE_ITEM_(id, kind, style, text, x, y, width, height) \
  describe_item(#id, #kind, #style, text, x, y, width, height);
DRIVERWYR_DIALOG_PROGRAM_CREATION_ITEMS(DESCRIBE_ITEM_)
