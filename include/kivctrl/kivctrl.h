// kivctrl: the whole exported interface of the engine, for hosts and plug-in libraries.
#pragma once

#include <kivctrl/dcl.h>
#include <kivctrl/qel_assoc.h>
#include <kivctrl/qel_list.h>
#include <kivctrl/qel_locate.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_props.h>
#include <kivctrl/qel_string.h>
#include <kivctrl/qel_euler.h>
#include <kivctrl/qel_math.h>
#include <kivctrl/gs_universe.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_process.h>
#include <kivctrl/qel_scan.h>
#include <kivctrl/qel_token.h>
#include <kivctrl/qel_stream.h>
#include <kivctrl/qel_localfile.h>
#include <kivctrl/qel_memfile.h>
#include <kivctrl/qel_block_stream.h>
#include <kivctrl/qel_token_stream.h>
#include <kivctrl/qel_dll.h>
#include <kivctrl/adt_matrix.h>
#include <kivctrl/gs_normal_code.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/qel_url.h>
#include <kivctrl/qel_internet.h>
