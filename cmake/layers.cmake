# The one table of who may use whom. Each library folder is its own CMake target
# (nonet_FOLDER) that links the folders named here: PUBLIC ones are those its headers
# include (its users see them too), PRIVATE ones only its sources use. The layers are
# listed bottom-up and name only layers listed before them, so every arrow points down.
# cmake/check_layers.cmake (the ctest "layers") fails when an #include crosses an arrow
# this table does not list.
#
# model/puzzle.h declares the Puzzle class whose members construct/, solver/ and
# generator/ define; those folders sit above model and link it, never the reverse.

set(NONET_LAYERS util model construct solver matrix_engine classify groupmap generator hint queue ocr api)

set(NONET_LAYER_util_PUBLIC)
set(NONET_LAYER_util_PRIVATE)
set(NONET_LAYER_model_PUBLIC util)
set(NONET_LAYER_model_PRIVATE)
set(NONET_LAYER_construct_PUBLIC model util)
set(NONET_LAYER_construct_PRIVATE)
set(NONET_LAYER_solver_PUBLIC model util)
set(NONET_LAYER_solver_PRIVATE)
set(NONET_LAYER_matrix_engine_PUBLIC util)
set(NONET_LAYER_matrix_engine_PRIVATE)
set(NONET_LAYER_classify_PUBLIC model util)
set(NONET_LAYER_classify_PRIVATE solver matrix_engine)
set(NONET_LAYER_groupmap_PUBLIC model util)
set(NONET_LAYER_groupmap_PRIVATE)
set(NONET_LAYER_generator_PUBLIC model matrix_engine util)
set(NONET_LAYER_generator_PRIVATE construct solver)
set(NONET_LAYER_hint_PUBLIC model solver classify)
set(NONET_LAYER_hint_PRIVATE)
set(NONET_LAYER_queue_PUBLIC model util)
set(NONET_LAYER_queue_PRIVATE)
set(NONET_LAYER_ocr_PUBLIC util)
set(NONET_LAYER_ocr_PRIVATE matrix_engine)
set(NONET_LAYER_api_PUBLIC model classify util)
set(NONET_LAYER_api_PRIVATE construct solver matrix_engine groupmap generator hint queue ocr)

# Headers every folder may include: the public C header declares only types and
# constants of the C interface (hint/ fills its SudokuHint, for example).
set(NONET_SHARED_HEADERS api/engine_api.h)

# Folders outside the library. Each may include any library folder and, besides its
# own, the folders named here.
set(NONET_CONSUMERS cli python testing tests bench tools fuzz)
set(NONET_CONSUMER_cli)
set(NONET_CONSUMER_python cli)
set(NONET_CONSUMER_testing)
set(NONET_CONSUMER_tests testing cli python)
set(NONET_CONSUMER_bench testing cli python)
set(NONET_CONSUMER_tools cli)
set(NONET_CONSUMER_fuzz)
