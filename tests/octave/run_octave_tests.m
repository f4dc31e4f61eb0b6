function run_octave_tests (file, varargin)
  % Runs the test blocks of FILE with the given folders on the path and
  % exits non-zero unless every block passes: test() itself only reports.
  % Blocks skipped for want of a tool say why themselves; a file whose
  % every block was skipped exits with 77, which CTest shows as a skip.
  for i = 1:numel (varargin)
    addpath (varargin{i});
  end
  [passed, total, ~, ~, skipped, skipped_at_run_time] = test (file, "quiet", stdout);
  skipped += skipped_at_run_time;
  printf ("%d of %d passed in %s", passed, total, file);
  if (skipped > 0)
    printf (" (%d skipped)", skipped);
  end
  printf ("\n");
  if (total == 0 && skipped > 0)
    exit (77);
  end
  if (total == 0 || passed != total)
    exit (1);
  end
  exit (0);
end
