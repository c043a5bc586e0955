// OWL import time and peak memory against the input's size.
//   bench_owl_import --make FILE CLASSES [hostile]   writes an ontology of CLASSES classes
//   bench_owl_import FILE                            imports it (Scenario and log into a temporary folder)
// A plain ontology gives each class a label, two synonyms, a comment and a
// superclass, as the large public ontologies do; "hostile" gives each class
// one-letter names and many short labels, the most records per byte of input.
// The import prints its time, the input's size and the process's peak
// resident memory; run the second form under /usr/bin/time -v for the
// whole-process figure.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "import/owl_import.h"

namespace {

int Make(const char* path, long classes, bool hostile) {
  std::ofstream out(path, std::ios::binary);
  out << "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
         "xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\" xmlns:owl=\"http://www.w3.org/2002/07/owl#\" "
         "xmlns:oboInOwl=\"http://www.geneontology.org/formats/oboInOwl#\" xml:base=\"http://example.org/onto\">\n";
  for (long i = 1; i <= classes; ++i) {
    if (hostile) {
      out << "<owl:Class rdf:about=\"#" << i << "\"><rdfs:subClassOf rdf:resource=\"#" << i / 2 << "\"/>";
      for (int k = 0; k < 8; ++k) out << "<rdfs:label>" << static_cast<char>('a' + k) << "</rdfs:label>";
      out << "</owl:Class>";
    } else {
      out << "  <owl:Class rdf:about=\"http://example.org/onto#C" << i << "\">\n"
          << "    <rdfs:subClassOf rdf:resource=\"http://example.org/onto#C" << i / 3 << "\"/>\n"
          << "    <rdfs:label xml:lang=\"en\">concept number " << i << "</rdfs:label>\n"
          << "    <oboInOwl:hasExactSynonym xml:lang=\"en\">notion " << i << "</oboInOwl:hasExactSynonym>\n"
          << "    <oboInOwl:hasRelatedSynonym xml:lang=\"en\">idea " << i << "</oboInOwl:hasRelatedSynonym>\n"
          << "    <rdfs:comment xml:lang=\"en\">A concept of the test ontology, the " << i
          << "th one, described in one sentence.</rdfs:comment>\n"
          << "  </owl:Class>\n";
    }
  }
  out << "</rdf:RDF>\n";
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--make")
    return Make(argv[2], std::atol(argv[3]), argc > 4 && std::string(argv[4]) == "hostile");
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_owl_import --make FILE CLASSES [hostile] | bench_owl_import FILE\n");
    return 64;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("bench_owl_import." + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  // The log goes beside the input; keep it out of the input's folder.
  const std::filesystem::path input = folder / "input.owl";
  std::filesystem::create_symlink(std::filesystem::absolute(argv[1]), input);
  std::string scenario, log;
  const auto t0 = std::chrono::steady_clock::now();
  const quilor::OwlImportResult result = quilor::ImportOwlFile(input.string(), folder.string(), {}, scenario, log);
  const auto t1 = std::chrono::steady_clock::now();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto bytes = std::filesystem::file_size(argv[1]);
  std::printf(
      "input %.1f MB, %s, %u classes (%u left out), %u labels; %.0f ms; peak %.1f MB (%.2f x the input); "
      "log %.1f MB, Scenario %.1f MB\n",
      bytes / 1e6, result.ok ? "imported" : "refused", result.stats.mainClasses, result.classesLeftOut,
      result.stats.labels, std::chrono::duration<double, std::milli>(t1 - t0).count(), usage.ru_maxrss / 1e3,
      usage.ru_maxrss * 1e3 / static_cast<double>(bytes), result.log.size() / 1e6, result.scenario.size() / 1e6);
  std::filesystem::remove_all(folder);
  return result.ok ? 0 : 1;
}
