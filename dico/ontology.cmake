# The semantic dictionary (englex.sv8) and the default Scenario files, made
# from WordNet after the lexicon. Needs the WordNet reader of quilor_dico.
if(TARGET quilor_dico)
  add_executable(quilor-ontology ${CMAKE_SOURCE_DIR}/dico/semantic_builder.cpp ${CMAKE_SOURCE_DIR}/dico/ontology_main.cpp)
  target_link_libraries(quilor-ontology PRIVATE quilor_dico)

  set(QUILOR_ONTOLOGY_DICO ${CMAKE_BINARY_DIR}/Dico)
  set(QUILOR_ONTOLOGY_SCENARIO ${CMAKE_BINARY_DIR}/Scenario)
  set(QUILOR_ONTOLOGY_OUTPUTS
      ${QUILOR_ONTOLOGY_DICO}/englex.sv8
      ${QUILOR_ONTOLOGY_DICO}/englex.gv8
      ${QUILOR_ONTOLOGY_DICO}/englex.senses.txt
      "${QUILOR_ONTOLOGY_SCENARIO}/Concepts US V8.scn"
      "${QUILOR_ONTOLOGY_SCENARIO}/Natural sciences US V7.scn"
      "${QUILOR_ONTOLOGY_SCENARIO}/Chemistry US V7.scn")
  # "Concepts UK V8.scn" is made from the word lists of wbritish and wamerican.
  set(QUILOR_BRITISH_WORDS /usr/share/dict/british-english)
  set(QUILOR_AMERICAN_WORDS /usr/share/dict/american-english)
  set(QUILOR_SPELLING_ARGS)
  if(EXISTS ${QUILOR_BRITISH_WORDS} AND EXISTS ${QUILOR_AMERICAN_WORDS})
    list(APPEND QUILOR_ONTOLOGY_OUTPUTS "${QUILOR_ONTOLOGY_SCENARIO}/Concepts UK V8.scn")
    set(QUILOR_SPELLING_ARGS --british ${QUILOR_BRITISH_WORDS} --american ${QUILOR_AMERICAN_WORDS})
  else()
    message(WARNING "wbritish or wamerican is not installed: no \"Concepts UK V8.scn\"")
  endif()
  set(QUILOR_ONTOLOGY_DEPENDS quilor-ontology)
  if(TARGET quilor_dictionaries)
    # The word tables follow the letter groups of the lexicon built beside them.
    list(APPEND QUILOR_ONTOLOGY_DEPENDS quilor_dictionaries ${QUILOR_ONTOLOGY_DICO}/englex.lv8)
  endif()
  add_custom_command(
    OUTPUT ${QUILOR_ONTOLOGY_OUTPUTS}
    COMMAND quilor-ontology --wordnet ${QUILOR_WORDNET_DIR} --out ${QUILOR_ONTOLOGY_DICO}
            --scenario ${QUILOR_ONTOLOGY_SCENARIO} --lexicon ${QUILOR_ONTOLOGY_DICO}/englex.lv8
            --names ${CMAKE_SOURCE_DIR}/dico/lists/names.txt --senses ${QUILOR_ONTOLOGY_DICO}/englex.senses.txt
            ${QUILOR_SPELLING_ARGS}
    DEPENDS ${QUILOR_ONTOLOGY_DEPENDS} ${CMAKE_SOURCE_DIR}/dico/lists/names.txt
    COMMENT "Building the semantic dictionary and the default Scenarios"
    VERBATIM)
  add_custom_target(quilor_ontology_files ALL DEPENDS ${QUILOR_ONTOLOGY_OUTPUTS})
  install(FILES ${QUILOR_ONTOLOGY_DICO}/englex.sv8 ${QUILOR_ONTOLOGY_DICO}/englex.gv8 DESTINATION Dico)
  install(DIRECTORY ${QUILOR_ONTOLOGY_SCENARIO}/ DESTINATION Scenario FILES_MATCHING PATTERN "*.scn")
  if(TARGET quilor_tests)
    add_dependencies(quilor_tests quilor_ontology_files)
    target_compile_definitions(quilor_tests PRIVATE QUILOR_HAVE_ONTOLOGY_BUILDER=1)
  endif()
  if(TARGET quilor_ui_tests)
    add_dependencies(quilor_ui_tests quilor_ontology_files)
    target_compile_definitions(quilor_ui_tests PRIVATE QUILOR_HAVE_ONTOLOGY_BUILDER=1)
  endif()
endif()
