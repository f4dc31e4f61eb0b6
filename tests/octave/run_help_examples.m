function run_help_examples (name)
  % Runs every example call in NAME's help (a line indented ten or more
  % spaces that calls NAME and ends in ";") on data of the shapes the calls
  % expect, then its Example, all in this function's own workspace.
  k = 10;
  % A rank well below its size: runs meet tol in tens of iterations.
  A = rand (60, 40);
  W = rand (60, k);
  H = rand (k, 40);
  calls = regexp (help (name), ['^ {10,}([^\n]*' name '\([^\n]*;)$'], 'tokens', 'lineanchors');
  assert (numel (calls) >= 7, "%s's help shows only %d example calls", name, numel (calls));
  for call = calls
    evalc (call{1}{1});
  end
  evalc (help_example (name));
end
